// The repetition rules after column 110 against the days they fall on. The
// expected days are python-dateutil's expansion of the same rule.
#include <gtest/gtest.h>

#include <set>

#include "events/eventrecord.h"
#include "reminders/matching.h"

namespace redoviri {
namespace {

constexpr std::uint8_t kMo = 1, kTu = 2, kTh = 8, kFr = 16;

CivilDate Date(std::string_view compact) {
  const auto n = [&](std::size_t at, std::size_t len) { return std::stoi(std::string(compact.substr(at, len))); };
  return {n(0, 4), n(4, 2), n(6, 2)};
}

struct RuleRow {
  const char* what;
  const char* first;  // as typed: the rule moves it to its first day
  RepeatRule rule;
  RecurrenceKind flags;  // without a repeating rule
  const char* from;
  const char* to;
  const char* days;  // compact dates, blank-separated
};

const RuleRow kRows[] = {
    {"2nd Tuesday, until before an occurrence", "20270101",
     {.unit = RuleUnit::kMonth, .on = RuleDay::kNthWeekday, .weekdays = kTu, .ordinal = 2, .until = Date("20270630")},
     {}, "20270101", "20270731", "20270112 20270209 20270309 20270413 20270511 20270608"},
    {"last Monday of May", "20240501",
     {.unit = RuleUnit::kYear, .on = RuleDay::kNthWeekday, .weekdays = kMo, .ordinal = -1}, {}, "20240101",
     "20301231", "20240527 20250526 20260525 20270531 20280529 20290528 20300527"},
    {"4th Thursday of November", "20271101",
     {.unit = RuleUnit::kYear, .on = RuleDay::kNthWeekday, .weekdays = kTh, .ordinal = 4}, {}, "20270101",
     "20321231", "20271125 20281123 20291122 20301128 20311127 20321125"},
    {"last Friday, fifth weeks", "20270101",
     {.unit = RuleUnit::kMonth, .on = RuleDay::kNthWeekday, .weekdays = kFr, .ordinal = -1}, {}, "20270101",
     "20271231",
     "20270129 20270226 20270326 20270430 20270528 20270625 20270730 20270827 20270924 20271029 20271126 20271231"},
    {"last day of each month, leap year", "20240131", {.unit = RuleUnit::kMonth, .on = RuleDay::kLastDay}, {},
     "20240101", "20250331",
     "20240131 20240229 20240331 20240430 20240531 20240630 20240731 20240831 20240930 20241031 20241130 20241231 "
     "20250131 20250228 20250331"},
    {"last day of February", "20230228", {.unit = RuleUnit::kYear, .on = RuleDay::kLastDay}, {}, "20230101",
     "20291231", "20230228 20240229 20250228 20260228 20270228 20280229 20290228"},
    {"first workday", "20270101", {.unit = RuleUnit::kMonth, .on = RuleDay::kFirstWorkday}, {}, "20270101",
     "20271231",
     "20270101 20270201 20270301 20270401 20270503 20270601 20270701 20270802 20270901 20271001 20271101 20271201"},
    {"last workday", "20270101", {.unit = RuleUnit::kMonth, .on = RuleDay::kLastWorkday}, {}, "20270101",
     "20271231",
     "20270129 20270226 20270331 20270430 20270531 20270630 20270730 20270831 20270930 20271029 20271130 20271231"},
    {"weekdays over a year's last week, ten times, a skip", "20271227",
     {.unit = RuleUnit::kWeek, .on = RuleDay::kWeekdays, .weekdays = kMondayToFriday, .until = Date("20280107"),
      .skips = {Date("20271231")}},
     {}, "20271220", "20280131",
     "20271227 20271228 20271229 20271230 20280103 20280104 20280105 20280106 20280107"},
    {"every 2 weeks on Monday and Thursday", "20270101",
     {.unit = RuleUnit::kWeek, .on = RuleDay::kWeekdays, .interval = 2, .weekdays = kMo | kTh}, {}, "20270101",
     "20270331",
     "20270111 20270114 20270125 20270128 20270208 20270211 20270222 20270225 20270308 20270311 20270322 20270325"},
    {"every 3 months on the 31st", "20270131", {.unit = RuleUnit::kMonth, .interval = 3}, {}, "20270101",
     "20281231", "20270131 20270731 20271031 20280131 20280731 20281031"},
    {"every 2 years on 29 February", "20240229", {.unit = RuleUnit::kYear, .interval = 2}, {}, "20240101",
     "20331231", "20240229 20280229 20320229"},
    {"weekly until on an occurrence, a skip that is none", "20270105",
     {.unit = RuleUnit::kWeek, .on = RuleDay::kWeekdays, .weekdays = kTu, .until = Date("20270119"),
      .skips = {Date("20270106")}},
     {}, "20270101", "20270228", "20270105 20270112 20270119"},
    {"each year on 29 February, an end and a skip", "20240229",
     {.until = Date("20361231"), .skips = {Date("20280229")}}, {.eachYear = true}, "20240101", "20401231",
     "20240229 20320229 20360229"},
    {"each month on the 31st, ended", "20270131", {.until = Date("20270831")}, {.eachMonth = true}, "20270101",
     "20271231", "20270131 20270331 20270531 20270731 20270831"},
    {"once", "20270310", {}, {.onlyOnce = true}, "20270101", "20271231", "20270310"},
};

std::string BuildLine(const RuleRow& row) {
  const CivilDate first = Date(row.first);
  EventRecord record{.month = std::to_string(first.month),
                     .day = std::to_string(first.day),
                     .year = std::to_string(first.year),
                     .time = "  :  ",
                     .recurrence = row.flags,
                     .name = row.what,
                     .rule = row.rule};
  if (record.month.size() < 2) record.month = "0" + record.month;
  if (record.day.size() < 2) record.day = "0" + record.day;
  const BuiltLine built = BuildEventLine(record);
  EXPECT_TRUE(built.ok()) << built.error;
  return built.line;
}

// The days of [from, to] the line falls on, asked day by day and month by
// month: both must agree.
std::set<std::int32_t> DaysOf(std::string_view line, const CivilDate& from, const CivilDate& to) {
  const ParsedEvent event = ParseEventLine(line);
  std::set<std::int32_t> days;
  for (std::int32_t n = *DayNumber(from); n <= *DayNumber(to); ++n) {
    const CivilDate d = DateOfDayNumber(n);
    const bool falls = FallsOn(event, {d, n});
    EXPECT_EQ(falls, (FallDaysOfMonth(event, d.year, d.month) >> d.day & 1) != 0) << line << " " << n;
    if (falls) days.insert(n);
  }
  return days;
}

TEST(RulesTest, EachRuleFallsOnExactlyItsDaysAndAnOlderReaderShowsNoOther) {
  for (const RuleRow& row : kRows) {
    SCOPED_TRACE(row.what);
    const std::string line = BuildLine(row);
    const CivilDate from = Date(row.from), to = Date(row.to);
    std::set<std::int32_t> expected;
    for (std::string_view rest = row.days; !rest.empty();) {
      expected.insert(*DayNumber(Date(rest.substr(0, 8))));
      rest.remove_prefix(std::min<std::size_t>(9, rest.size()));
    }
    const std::set<std::int32_t> days = DaysOf(line, from, to);
    EXPECT_EQ(days, expected) << line;
    // The first date is a day of the rule, and the tail reads back.
    EXPECT_TRUE(days.count(*DayNumber(*ReadFirstDate(line))) || !row.rule.skips.empty()) << line;
    const TailReading tail = ReadRuleTail(line);
    ASSERT_TRUE(tail.ok()) << tail.error;
    EXPECT_EQ(FormatRuleTail(tail.rule), line.substr(kEventLineLength));

    // What an older version shows from the 110 columns: only days of the
    // rule, or days its end or skipped days take away.
    const std::set<std::int32_t> older = DaysOf(line.substr(0, kEventLineLength), from, to);
    const std::int32_t until = row.rule.until ? *DayNumber(*row.rule.until) : INT32_MAX;
    for (const std::int32_t n : older) {
      const bool skipped = std::count(row.rule.skips.begin(), row.rule.skips.end(), DateOfDayNumber(n)) > 0;
      EXPECT_TRUE(days.count(n) || n > until || skipped) << "older version shows " << n << " of " << line;
    }
    EXPECT_FALSE(older.empty() && !days.empty()) << "an older version shows nothing of " << line;
  }
}

TEST(RulesTest, ATailThatCannotBeReadLeavesTheLineToItsColumns) {
  const std::string head = BuildLine(kRows[14]).substr(0, kEventLineLength);
  const std::string_view damaged[] = {"x;EVERY=1M", ";EVERY=0M", ";EVERY=13M", ";EVERY=1M;ON=5TU", ";EVERY=1W;ON=2TU",
                                      ";EVERY=1M;ON=MO", ";ON=LASTDAY", ";UNTIL=20270230", ";SKIP=20270105,20270101",
                                      ";EVERY=1M;EVERY=2M", ";REMIND=1D;FUTURE", ";EVERY=53W"};
  const std::set<std::int32_t> plain = DaysOf(head, Date("20270101"), Date("20271231"));
  for (const std::string_view tail : damaged) {
    const std::string line = head + std::string(tail);
    EXPECT_FALSE(ReadRuleTail(line).ok()) << tail;
    EXPECT_EQ(DaysOf(line, Date("20270101"), Date("20271231")), plain) << tail;
  }
  EXPECT_TRUE(ReadRuleTail(head + "   ").ok());
  EXPECT_TRUE(SameEventLine(head + "  ", head.substr(0, 80)));
  EXPECT_FALSE(SameEventLine(head + ";UNTIL=20300101", head));
}

TEST(RulesTest, ARuleThatFallsOnNoDayIsRefused) {
  RuleRow row = kRows[0];
  row.rule.until = Date("20270111");  // before the first second Tuesday
  const CivilDate first = Date(row.first);
  EventRecord record{.month = "01", .day = "01", .year = std::to_string(first.year), .time = "  :  ", .rule = row.rule};
  EXPECT_EQ(BuildEventLine(record).error, kRuleOnNoDay);
  record.rule = {.unit = RuleUnit::kWeek, .on = RuleDay::kWeekdays, .interval = 60, .weekdays = kMo};
  EXPECT_FALSE(BuildEventLine(record).ok());
}

TEST(RulesTest, ADayOfASeriesChangedOrDeletedOnlyOnItFromItOnOrOnEveryDay) {
  const EventRecord tuesdays{.month = "01", .day = "05", .year = "2027", .time = "10:00", .name = "Lesson",
                             .rule = {.unit = RuleUnit::kWeek, .on = RuleDay::kWeekdays, .weekdays = kTu,
                                      .until = Date("20270126"), .reminders = {15}}};
  const std::string series = BuildEventLine(tuesdays).line;
  EventRecord at11 = tuesdays;
  at11.time = "11:00";
  EventRecord moved = at11;  // its date field moved to Thursday
  moved.day = "14";
  const std::string birthday = BuildEventLine({.month = "02", .day = "14", .year = "1990", .time = "  :  ",
                                               .recurrence = {.eachYear = true}, .name = "Anna"}).line;
  const struct {
    const char* what;
    std::string stored;
    const char* day;
    SeriesScope scope;
    const EventRecord* changed;
    // Per line written: its days in the range, "hh:nn" of each line.
    std::vector<std::string> days;
    std::vector<std::string> times;
  } kRows[] = {
      {"delete only a middle day", series, "20270112", SeriesScope::kOnlyThatDay, nullptr,
       {"20270105 20270119 20270126"}, {"10:00"}},
      {"delete from a middle day on", series, "20270112", SeriesScope::kThatDayOn, nullptr, {"20270105"}, {"10:00"}},
      {"delete from the first day on", series, "20270105", SeriesScope::kThatDayOn, nullptr, {}, {}},
      {"delete from the last day on", series, "20270126", SeriesScope::kThatDayOn, nullptr,
       {"20270105 20270112 20270119"}, {"10:00"}},
      {"change only a day", series, "20270112", SeriesScope::kOnlyThatDay, &at11,
       {"20270105 20270119 20270126", "20270112"}, {"10:00", "11:00"}},
      {"change only a day, moved", series, "20270112", SeriesScope::kOnlyThatDay, &moved,
       {"20270105 20270119 20270126", "20270114"}, {"10:00", "11:00"}},
      {"change from a day on", series, "20270119", SeriesScope::kThatDayOn, &at11,
       {"20270105 20270112", "20270119 20270126"}, {"10:00", "11:00"}},
      {"change every day", series, "20270119", SeriesScope::kEveryDay, &at11,
       {"20270105 20270112 20270119 20270126"}, {"11:00"}},
      {"an old kind skips a day", birthday, "20270214", SeriesScope::kOnlyThatDay, nullptr, {"20260214 20280214"},
       {"  :  "}},
  };
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.what);
    const SeriesEdit edit = EditSeries(row.stored, Date(row.day), row.scope, row.changed);
    ASSERT_TRUE(edit.ok()) << edit.error;
    ASSERT_EQ(edit.lines.size(), row.days.size());
    const CivilDate from = Date(row.stored == birthday ? "20260101" : "20270101");
    const CivilDate to = Date(row.stored == birthday ? "20281231" : "20270228");
    for (std::size_t i = 0; i < edit.lines.size(); ++i) {
      std::set<std::int32_t> expected;
      for (std::string_view rest = row.days[i]; !rest.empty();) {
        expected.insert(*DayNumber(Date(rest.substr(0, 8))));
        rest.remove_prefix(std::min<std::size_t>(9, rest.size()));
      }
      EXPECT_EQ(DaysOf(edit.lines[i], from, to), expected) << edit.lines[i];
      EXPECT_EQ(ReadField(edit.lines[i], kTimeField), row.times[i]);
      // Every line of a series keeps its reminders.
      if (row.stored == series) EXPECT_EQ(ReadRuleTail(edit.lines[i]).rule.reminders, std::vector<int>{15});
    }
  }
  EXPECT_FALSE(EditSeries(series.substr(0, kEventLineLength) + ";ON=XX", Date("20270112"),
                          SeriesScope::kOnlyThatDay, nullptr).ok());
}

}  // namespace
}  // namespace redoviri
