#include "events/eventlines.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace redoviri {
namespace {

// Lines of every kind the store holds: event lines that fall on days and
// lines that do not, short ones, one-letter ones.
std::string AnyLine(std::mt19937& rng) {
  static const std::vector<std::string> kLines = {
      "01011990;00:00;2;Y;N;N;N;000;Ann                           ;",
      "12311999;12:30;6;N;N;Y;N;000;Bob",
      "02302000;  :  ;1;Y;N;N;N;000;no such day",
      "03152024",
      "x",
      "ab;cd",
      "06062006;08:00;3;N;N;N;Y;5  ;every five days",
  };
  std::string line = kLines[std::uniform_int_distribution<std::size_t>(0, kLines.size() - 1)(rng)];
  if (rng() % 2 != 0) line += std::to_string(rng() % 100);
  return line;
}

// Inserting batches and removing lines, checked after every step against a
// plain list of lines and their parsed forms.
TEST(EventLinesTest, InsertAndRemoveFollowAPlainList) {
  std::mt19937 rng(20261208);
  std::vector<std::string> model;
  EventLines lines;
  for (int step = 0; step < 400; ++step) {
    if (!model.empty() && rng() % 3 == 0) {
      const std::size_t at = rng() % model.size();
      lines.Remove(at);
      model.erase(model.begin() + static_cast<std::ptrdiff_t>(at));
    } else {
      // A batch of up to four lines, at places in ascending order (two may
      // share one), in front, among and behind the lines.
      std::vector<std::string> texts;
      std::vector<std::size_t> places;
      const std::size_t count = 1 + rng() % 4;
      for (std::size_t i = 0; i < count; ++i) {
        texts.push_back(AnyLine(rng));
        places.push_back(rng() % (model.size() + 1));
      }
      std::sort(places.begin(), places.end());
      std::vector<EventLines::Insertion> fresh;
      for (std::size_t i = 0; i < count; ++i) fresh.push_back({texts[i], ParseEventLine(texts[i]), places[i]});
      lines.Reserve(fresh);
      lines.Insert(fresh);
      for (std::size_t i = count; i-- > 0;) {
        model.insert(model.begin() + static_cast<std::ptrdiff_t>(places[i]), texts[i]);
      }
    }
    ASSERT_EQ(lines.size(), model.size()) << "step " << step;
    std::size_t text = 0;
    for (std::size_t i = 0; i < model.size(); ++i) {
      const EventLines::Entry entry = lines.At(i);
      ASSERT_EQ(entry.line, model[i]) << "step " << step << ", line " << i;
      const ParsedEvent parsed = ParseEventLine(model[i]);
      ASSERT_EQ(entry.parsed.readable, parsed.readable) << model[i];
      if (parsed.readable) {
        EXPECT_EQ(entry.parsed.firstDayNumber, parsed.firstDayNumber);
        EXPECT_EQ(entry.parsed.dayCount, parsed.dayCount);
        EXPECT_EQ(entry.parsed.category, parsed.category);
        EXPECT_EQ(entry.parsed.recurrence, parsed.recurrence);
      }
      text += model[i].size();
    }
    EXPECT_EQ(lines.TextBytes(), text);
  }
}

TEST(EventLinesTest, BuilderKeepsTheOrderGivenAndTheParsedFormsOfReadableLinesOnly) {
  EventLines::Builder builder(3, 20);
  builder.Add("x");
  builder.Add("03152024;  :  ;2;Y;N;N;N;0");
  builder.Add("");
  const EventLines lines = std::move(builder).Finish();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines.Line(0), "x");
  EXPECT_EQ(lines.Line(1), "03152024;  :  ;2;Y;N;N;N;0");
  EXPECT_EQ(lines.Line(2), "");
  EXPECT_FALSE(lines.At(0).parsed.readable);
  EXPECT_TRUE(lines.At(1).parsed.readable);
  EXPECT_EQ(lines.At(1).parsed.category, 2);
  std::vector<std::string_view> seen;
  for (const EventLines::Entry entry : lines) seen.push_back(entry.line);
  EXPECT_EQ(seen, (std::vector<std::string_view>{"x", "03152024;  :  ;2;Y;N;N;N;0", ""}));
}

}  // namespace
}  // namespace redoviri
