#include "reminders/matching.h"

namespace redoviri {

std::optional<MatchDay> MakeMatchDay(int year, int month, int day) {
  const std::optional<std::int32_t> n = DayNumber(year, month, day);
  if (!n) return std::nullopt;
  return MatchDay{{year, month, day}, *n};
}

namespace {

CivilDate FirstDateOf(const ParsedEvent& event) { return {event.year, event.month, event.day}; }

// The four flags' rule alone.
bool FlagsFallOn(const ParsedEvent& event, const MatchDay& day) {
  const std::int32_t sinceFirst = day.dayNumber - event.firstDayNumber;
  const bool sameDay = event.day == day.date.day;
  const RecurrenceKind& r = event.recurrence;
  if (r.eachYear && event.month == day.date.month && sameDay && sinceFirst >= 0) return true;
  if (r.eachMonth && sameDay && sinceFirst >= 0) return true;
  if (r.onlyOnce && sinceFirst == 0) return true;
  if (r.eachNDays && sinceFirst >= 0) {
    return event.dayCount == 0 ? sinceFirst == 0 : sinceFirst % event.dayCount == 0;
  }
  return false;
}

}  // namespace

bool FallsOn(const ParsedEvent& event, const MatchDay& day) {
  if (!event.readable) return false;
  if (!event.rule) return FlagsFallOn(event, day);
  const RuleCode& rule = *event.rule;
  const bool falls = rule.unit != RuleUnit::kNone
                         ? PatternFallsOn(rule, FirstDateOf(event), event.firstDayNumber, day.date, day.dayNumber)
                         : FlagsFallOn(event, day);
  return falls && !TakenAway(rule, day.dayNumber);
}

std::uint32_t FallDaysOfMonth(const ParsedEvent& event, int year, int month) {
  const std::optional<std::int32_t> first = DayNumber(year, month, 1);
  if (!event.readable || !first) return 0;
  if (event.rule) {
    const RuleCode& rule = *event.rule;
    if (rule.lastDayNumber < *first) return 0;
    std::uint32_t days = rule.unit != RuleUnit::kNone
                             ? PatternDaysOfMonth(rule, FirstDateOf(event), event.firstDayNumber, year, month)
                             : 0;
    const int last = DaysInMonth(year, month);
    for (int day = 1; day <= last; ++day) {
      if (rule.unit == RuleUnit::kNone && FlagsFallOn(event, {{year, month, day}, *first + day - 1})) {
        days |= 1u << day;
      }
      if ((days >> day & 1) && TakenAway(rule, *first + day - 1)) days &= ~(1u << day);
    }
    return days;
  }
  std::uint32_t days = 0;
  const auto test = [&](int day) {
    if (FallsOn(event, {{year, month, day}, *first + day - 1})) days |= 1u << day;
  };
  const int last = DaysInMonth(year, month);
  if (event.recurrence.eachNDays) {
    for (int day = 1; day <= last; ++day) test(day);
  } else if (event.day <= last) {
    test(event.day);
  }
  return days;
}

}  // namespace redoviri
