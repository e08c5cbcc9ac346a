// The repetition rules beyond the four kinds of the event line's flags (the
// nth weekday, the last day, chosen weekdays, every N weeks, months or
// years), an end and skipped days. They are kept after column 110 of the
// line, as ";" and short KEY=value items:
//
//   ;EVERY=2W;ON=MO,TH;UNTIL=20270630;SKIP=20270105,20270112
//
//   EVERY=nW|nM|nY  every n weeks (1-52), months (1-12) or years (1-100)
//   ON=MO,TU,...    weekly: the weekdays (default: the first date's)
//   ON=2TU, ON=-1FR monthly or yearly: the first to fourth, or last, weekday
//   ON=LASTDAY      monthly or yearly: the last day of the month
//   ON=FIRSTWORKDAY, ON=LASTWORKDAY  the first or last Monday-to-Friday day
//                   (no ON: the first date's day of the month)
//   UNTIL=YYYYMMDD  the last day the event may fall on
//   SKIP=YYYYMMDD,...  days it does not fall on
//   REMIND=15,1440  reminders: minutes ahead of the event (1 to 4 weeks),
//                   rising; a version without them alerts at its time
//
// A yearly rule falls in the first date's month. The first 110 columns hold
// the nearest rule of the four flags (NearestFlags), so that a version that
// knows no tail never shows a day the event does not fall on.
#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/datetime.h"

namespace redoviri {

enum class RuleUnit : std::uint8_t { kNone, kWeek, kMonth, kYear };
enum class RuleDay : std::uint8_t { kDate, kWeekdays, kNthWeekday, kLastDay, kFirstWorkday, kLastWorkday };

// Weekdays as bits: bit 0 Monday ... bit 6 Sunday.
inline constexpr std::uint8_t kMondayToFriday = 0x1F;
inline constexpr int kMaxIntervalWeeks = 52, kMaxIntervalMonths = 12, kMaxIntervalYears = 100;
// Skipped days a line holds at most.
inline constexpr int kMaxSkips = 400;
// Reminders: at most 4 weeks ahead, at most 20 an event.
inline constexpr int kMaxRemindMinutes = 4 * 7 * 1440;
inline constexpr int kMaxReminders = 20;

// 0 = Monday ... 6 = Sunday.
int WeekdayOf(std::int32_t dayNumber);
int WeekdayOf(const CivilDate& date);
// "monday" ... "sunday" (or "mo", "mon"), letter case ignored: 0..6.
std::optional<int> WeekdayFromWord(std::string_view word);
// "Monday" ... "Sunday".
std::string_view WeekdayName(int weekday);
std::string_view MonthName(int month);

struct RepeatRule {
  RuleUnit unit = RuleUnit::kNone;  // kNone: the four flags of the line
  RuleDay on = RuleDay::kDate;
  int interval = 1;
  std::uint8_t weekdays = 0;  // kWeekdays: the days; kNthWeekday: one bit
  int ordinal = 0;            // kNthWeekday: 1..4, or -1 for the last
  std::optional<CivilDate> until{};
  std::vector<CivilDate> skips{};  // in order, none twice
  std::vector<int> reminders{};    // minutes ahead, rising, none twice

  bool Repeats() const { return unit != RuleUnit::kNone; }
  bool Empty() const { return !Repeats() && !until && skips.empty() && reminders.empty(); }
  friend bool operator==(const RepeatRule&, const RepeatRule&) = default;
};

// The tail of a line: the text after column 110.
std::string_view RuleTailOf(std::string_view line);

struct TailReading {
  RepeatRule rule;
  std::string error;  // the tail is there but cannot be read
  bool ok() const { return error.empty(); }
};
// The rule of a line's tail. A line of 110 columns or fewer, or one whose
// tail is blanks, has the empty rule.
TailReading ReadRuleTail(std::string_view line);
// The tail text of a rule, from ";" on; empty for the empty rule.
std::string FormatRuleTail(const RepeatRule& rule);

// Why the rule cannot be kept (an interval out of range, no weekday, an
// ordinal other than 1..4 and -1, an ON that does not go with EVERY);
// empty when it can. The empty rule always can.
std::string RuleProblem(const RepeatRule& rule);

// The rule as matching holds it: small, read once per line.
struct RuleCode {
  RuleUnit unit = RuleUnit::kNone;
  RuleDay on = RuleDay::kDate;
  std::uint8_t interval = 1;
  std::uint8_t weekdays = 0;
  std::int8_t ordinal = 0;
  std::int32_t lastDayNumber = std::numeric_limits<std::int32_t>::max();
  std::shared_ptr<const std::vector<std::int32_t>> skips;  // sorted; null for none
  std::vector<std::int32_t> reminders;  // minutes ahead, rising
};
RuleCode CodeOfRule(const RepeatRule& rule, const CivilDate& first);

// Whether the rule's pattern (not its end or skipped days) falls on the
// day: the first date's own day counts only where the pattern falls on it.
bool PatternFallsOn(const RuleCode& rule, const CivilDate& first, std::int32_t firstDayNumber,
                    const CivilDate& day, std::int32_t dayNumber);
// Bit d set for each day d of the month the pattern falls on, on or after
// the first date.
std::uint32_t PatternDaysOfMonth(const RuleCode& rule, const CivilDate& first, std::int32_t firstDayNumber,
                                 int year, int month);
// Whether the end or a skipped day takes the day away.
bool TakenAway(const RuleCode& rule, std::int32_t dayNumber);

// The first day on or after `from` the pattern falls on (ignoring the end
// and skips), when there is one before the year 9999.
std::optional<CivilDate> FirstPatternDay(const RepeatRule& rule, const CivilDate& from);
// The n-th (from 1) day of the pattern from its first date, the end of a
// rule "n times"; ignores skipped days, as iCalendar's COUNT does.
std::optional<CivilDate> NthPatternDay(const RepeatRule& rule, const CivilDate& first, int n);

// The four flags and the day count an older reader sees for a rule, the
// nearest it can hold that shows no day the rule does not fall on. Only
// for a repeating rule.
struct NearestFlags {
  bool eachYear = false, eachMonth = false, onlyOnce = false, eachNDays = false;
  int dayCount = 0;
};
NearestFlags NearestOldRule(const RepeatRule& rule, const CivilDate& first);

// "the second Tuesday of each month", "every 2 weeks on Monday and
// Thursday", "the last day of February each year": the pattern alone.
std::string DescribePattern(const RepeatRule& rule, const CivilDate& first);
// ", until 30 June 2027, not on 5 January 2027": the end and skipped days.
std::string DescribeLimits(const RepeatRule& rule);
// "14 February 2027".
std::string DateInWords(const CivilDate& date);

// "1 week", "2 days", "1 hour 30 minutes", "15 minutes".
std::string AheadInWords(int minutes);
// "reminders: 1 week and 1 day before", "reminder: 15 minutes before";
// empty for none.
std::string RemindersInWords(const std::vector<int>& reminders);
// The reminders in order, none twice.
std::vector<int> SortedReminders(std::vector<int> reminders);

}  // namespace redoviri
