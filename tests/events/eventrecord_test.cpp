#include "events/eventrecord.h"

#include <gtest/gtest.h>

namespace redoviri {
namespace {

std::string Blanks(std::size_t n) { return std::string(n, ' '); }

EventRecord Birthday() {
  EventRecord r;
  r.month = "03";
  r.day = "15";
  r.year = "1990";
  r.time = "08:30";
  r.category = EventCategory::kBirthday;
  r.recurrence.eachYear = true;
  r.dayCount = "0  ";
  r.name = "Ann";
  r.comment = "cake; candles";
  return r;
}

TEST(EventCategoryTest, CodesWordsColoursAndTexts) {
  struct Want {
    int code;
    const char* word;
    Colour colour;
    const char* legend;
    const char* hint;
    const char* tooltip;
  };
  const Want want[] = {
      {1, "lovely", Rgb(255, 0, 0), "Lovelyday", " lovely : ", " lovely. "},
      {2, "birthday", Rgb(0, 0, 255), "Birthday", " birthday : ", " birth. "},
      {3, "work/business", Rgb(128, 128, 0), "Workingday", " work : ", " work. "},
      {4, "religion/legal", Rgb(128, 0, 128), "Religionday", " religion/official : ", " rel/off. "},
      {5, "feest", Rgb(0, 128, 0), "Feestday", " feest : ", " feest. "},
      {6, "other", Rgb(0, 128, 128), "Other", " other : ", " other. "},
  };
  for (const Want& w : want) {
    SCOPED_TRACE(w.code);
    const auto category = CategoryFromCode(w.code);
    ASSERT_TRUE(category);
    EXPECT_EQ(CodeOf(*category), w.code);
    const CategoryInfo& info = InfoOf(*category);
    EXPECT_EQ(info.word, w.word);
    EXPECT_EQ(info.colour, w.colour);
    EXPECT_EQ(info.legendName, w.legend);
    EXPECT_EQ(info.hintLabel, w.hint);
    EXPECT_EQ(info.tooltipWord, w.tooltip);
    // A grid row's word, with the blanks a cell may carry, maps back.
    EXPECT_EQ(CategoryFromWord(std::string(" ") + w.word + "  "), category);
  }
  // The colours go to the window system as they are: red is 0x0000FF there.
  EXPECT_EQ(InfoOf(EventCategory::kLovely).colour, 0x0000FFu);
  EXPECT_EQ(InfoOf(EventCategory::kOther).colour, 0x808000u);
  EXPECT_FALSE(CategoryFromCode(0));
  EXPECT_FALSE(CategoryFromCode(7));
  EXPECT_FALSE(CategoryFromWord("work"));
  EXPECT_FALSE(CategoryFromWord(""));
}

TEST(BuildEventLineTest, FixedColumnLayout) {
  const BuiltLine built = BuildEventLine(Birthday());
  ASSERT_TRUE(built.ok()) << built.error;
  EXPECT_EQ(built.line, "03151990;08:30;2;Y;N;N;N;000;Ann" + Blanks(27) + ";cake; candles" + Blanks(37));
  EXPECT_EQ(built.line.size(), 110u);

  // Flags stand in the order year, month, once, N days.
  EventRecord r = Birthday();
  r.recurrence = {false, true, false, true};
  EXPECT_EQ(BuildEventLine(r).line.substr(15, 10), "2;N;Y;N;Y;");
  r.recurrence = {false, false, true, false};
  EXPECT_EQ(BuildEventLine(r).line.substr(15, 10), "2;N;N;Y;N;");
}

TEST(BuildEventLineTest, NameAndCommentTrimmedAndPadded) {
  EventRecord r = Birthday();
  r.name = std::string(35, 'n');
  r.comment = std::string(60, 'c');
  BuiltLine built = BuildEventLine(r);
  EXPECT_EQ(built.line.substr(29, 31), std::string(30, 'n') + ";");
  EXPECT_EQ(built.line.substr(60), std::string(50, 'c'));

  r.name = "  Anna ";
  r.comment = "\tnote  ";
  built = BuildEventLine(r);
  EXPECT_EQ(built.line.substr(29, 30), "Anna" + Blanks(26));
  EXPECT_EQ(built.line.substr(60), "note" + Blanks(46));
  EXPECT_EQ(built.line.size(), 110u);
}

TEST(BuildEventLineTest, DayCountDigits) {
  const std::pair<const char*, const char*> cases[] = {
      {"5", "005"}, {"0  ", "000"}, {" 42", "042"}, {"999", "999"}, {"100", "100"}, {"+7", "007"}, {"009", "009"},
  };
  for (const auto& [typed, stored] : cases) {
    EventRecord r = Birthday();
    r.dayCount = typed;
    const BuiltLine built = BuildEventLine(r);
    ASSERT_TRUE(built.ok()) << typed;
    EXPECT_EQ(built.line.substr(25, 3), stored) << typed;
  }
}

TEST(BuildEventLineTest, DayCountThatIsNotANumberIsRefused) {
  const std::pair<const char*, const char*> cases[] = {
      {"   ", "'' is not a valid integer value"},
      {" 1 2", "'1 2' is not a valid integer value"},
      {"abc", "'abc' is not a valid integer value"},
      {"7x", "'7x' is not a valid integer value"},
      // The line has three digits of room: no count may shift the name.
      {"1000", "'1000' is not a valid day count (0..999)"},
      {"-5", "'-5' is not a valid day count (0..999)"},
  };
  for (const auto& [typed, message] : cases) {
    EventRecord r = Birthday();
    r.dayCount = typed;
    const BuiltLine built = BuildEventLine(r);
    EXPECT_FALSE(built.ok()) << typed;
    EXPECT_EQ(built.error, message);
    EXPECT_TRUE(built.line.empty());
  }
}

TEST(BuildEventLineTest, LineStaysOneFixedLine) {
  // Fields of the wrong width or holding line breaks could shift every
  // later field or split the event over two file lines.
  EventRecord r = Birthday();
  r.month = "3";
  r.time = "8:30:00";
  r.name = "Ann\r\nBob";
  r.comment = "a\nb";
  const BuiltLine built = BuildEventLine(r);
  ASSERT_TRUE(built.ok());
  EXPECT_EQ(built.line.size(), 110u);
  EXPECT_EQ(built.line.find_first_of("\r\n"), std::string::npos);
  EXPECT_EQ(built.line.substr(0, 15), "3 151990;8:30:;");
  EXPECT_EQ(ReadName(built.line), "Ann  Bob");
  EXPECT_EQ(ReadComment(built.line), "a b");
}

TEST(FieldReaderTest, ReadsFieldsByPosition) {
  EventRecord r = Birthday();
  r.name = "Tom; Jerry";  // a ";" inside a field does not move the fields
  r.recurrence = {false, true, false, true};
  r.dayCount = "14";
  const std::string line = BuildEventLine(r).line;
  EXPECT_EQ(ReadField(line, kMonthField), "03");
  EXPECT_EQ(ReadField(line, kDayField), "15");
  EXPECT_EQ(ReadField(line, kYearField), "1990");
  EXPECT_EQ(ReadField(line, kTimeField), "08:30");
  EXPECT_EQ(ReadCategoryCode(line), 2);
  EXPECT_EQ(ReadRecurrence(line), (RecurrenceKind{false, true, false, true}));
  EXPECT_EQ(ReadDayCount(line), 14);
  EXPECT_EQ(ReadField(line, kDayCountField), "014");
  EXPECT_EQ(ReadName(line), "Tom; Jerry");
  EXPECT_EQ(ReadComment(line), "cake; candles");
  EXPECT_EQ(ReadFirstDate(line), (CivilDate{1990, 3, 15}));
}

TEST(FieldReaderTest, FlagIsSetOnlyByCapitalY) {
  std::string line = BuildEventLine(Birthday()).line;
  line[17] = 'y';
  line[19] = 'X';
  line[21] = ' ';
  line[23] = 'Y';
  EXPECT_EQ(ReadRecurrence(line), (RecurrenceKind{false, false, false, true}));
}

TEST(FieldReaderTest, HintNameIsTheFirst25NameCharacters) {
  EventRecord r = Birthday();
  r.name = "Grandmother Wilhelmina van Oranje";  // cut to 30 when stored
  const std::string line = BuildEventLine(r).line;
  EXPECT_EQ(ReadName(line), "Grandmother Wilhelmina van Ora");
  EXPECT_EQ(ReadHintName(line), "Grandmother Wilhelmina va");
  r.name = "  Bo";
  EXPECT_EQ(ReadHintName(BuildEventLine(r).line), "Bo");
}

TEST(FieldReaderTest, ShortLinesReadAsBlanks) {
  const std::string line = "03151990;08:30;2;Y";
  EXPECT_EQ(ReadField(line, kEachMonthField), " ");
  EXPECT_EQ(ReadField(line, kDayCountField), "   ");
  EXPECT_EQ(ReadField(line, kCommentField), Blanks(50));
  EXPECT_EQ(ReadName(line), "");
  EXPECT_EQ(ReadHintName(""), "");
  EXPECT_EQ(ReadCategoryCode(""), 0);
  EXPECT_EQ(ReadRecurrence(line), (RecurrenceKind{true, false, false, false}));
  EXPECT_FALSE(ReadDayCount(line));
  // The name stops where the line stops.
  EXPECT_EQ(ReadName("03151990;08:30;2;Y;N;N;N;000;Ann"), "Ann");
}

TEST(FieldReaderTest, FirstDateMustBeACalendarDate) {
  const std::string tail = ";08:30;2;Y;N;N;N;000;x";
  EXPECT_EQ(ReadFirstDate("02292004" + tail), (CivilDate{2004, 2, 29}));
  EXPECT_FALSE(ReadFirstDate("02292005" + tail));  // no 29 February in 2005
  EXPECT_FALSE(ReadFirstDate("04312003" + tail));  // 31 April
  EXPECT_FALSE(ReadFirstDate("13012003" + tail));  // month 13
  EXPECT_FALSE(ReadFirstDate("00012003" + tail));
  EXPECT_FALSE(ReadFirstDate("ab012003" + tail));
  EXPECT_FALSE(ReadFirstDate(" 3152003" + tail));
  EXPECT_FALSE(ReadFirstDate("01010000" + tail));  // year 0
  EXPECT_FALSE(ReadFirstDate("031519"));
}

TEST(ParseEventLineTest, ParsedOnceWhatMatchingNeeds) {
  const std::string good = BuildEventLine(Birthday()).line;
  const ParsedEvent parsed = ParseEventLine(good);
  EXPECT_TRUE(parsed.readable);
  EXPECT_EQ(parsed.firstDayNumber, *DayNumber(1990, 3, 15));
  EXPECT_EQ(parsed.category, 2);
  EXPECT_EQ(parsed.dayCount, 0);

  std::string badCount = good;
  badCount.replace(25, 3, "1x3");
  EXPECT_FALSE(ParseEventLine(badCount).readable);
}

TEST(ParseEventLineTest, ShortLineReadsBlanksPastItsEnd) {
  const std::string good = BuildEventLine(Birthday()).line;
  const ParsedEvent full = ParseEventLine(good);
  // An editor that strips trailing blanks, or a hand-typed line: as long as
  // the first date and the day count are there, the line reads as the full
  // one does.
  for (std::size_t length : {109u, 60u, 34u, 29u, 28u, 27u}) {
    const ParsedEvent cut = ParseEventLine(good.substr(0, length));
    EXPECT_TRUE(cut.readable) << length;
    EXPECT_EQ(cut.firstDayNumber, full.firstDayNumber) << length;
    EXPECT_EQ(cut.recurrence, full.recurrence) << length;
    EXPECT_EQ(cut.category, full.category) << length;
  }
  // Without a day count (blanks are not a number) or a date it never matches.
  for (std::size_t length : {25u, 20u, 8u, 0u}) EXPECT_FALSE(ParseEventLine(good.substr(0, length)).readable) << length;
  std::string april31 = good.substr(0, 40);
  april31.replace(2, 2, "31");
  april31.replace(0, 2, "04");
  EXPECT_FALSE(ParseEventLine(april31).readable);
  // Characters after the 110th do not matter.
  EXPECT_TRUE(ParseEventLine(good + "  extra").readable);
}

}  // namespace
}  // namespace redoviri
