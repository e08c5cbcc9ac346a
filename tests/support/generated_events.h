// Event files of many events for the benchmarks: a plausible mix, the same
// for the same seed.
#pragma once

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>

#include "events/eventlist.h"
#include "events/eventrecord.h"

namespace redoviri::testing {

// A rule after column 110 of each kind, some with an end or skipped days.
inline RepeatRule RandomRule(std::mt19937& rng) {
  std::uniform_int_distribution<int> pattern(0, 6), weekdays(1, 127), weekday(0, 6), ordinal(0, 4), small(2, 4),
      year(1990, 2030), percent(0, 99);
  RepeatRule rule;
  const bool yearly = percent(rng) < 30;
  switch (pattern(rng)) {
    case 0: rule = {.unit = RuleUnit::kWeek, .on = RuleDay::kWeekdays, .interval = small(rng) - 1,
                    .weekdays = static_cast<std::uint8_t>(weekdays(rng))}; break;
    case 1: rule = {.unit = yearly ? RuleUnit::kYear : RuleUnit::kMonth, .on = RuleDay::kNthWeekday,
                    .weekdays = static_cast<std::uint8_t>(1u << weekday(rng)), .ordinal = std::max(ordinal(rng), 1)};
            if (percent(rng) < 25) rule.ordinal = -1;
            break;
    case 2: rule = {.unit = yearly ? RuleUnit::kYear : RuleUnit::kMonth, .on = RuleDay::kLastDay}; break;
    case 3: rule = {.unit = yearly ? RuleUnit::kYear : RuleUnit::kMonth, .on = RuleDay::kFirstWorkday}; break;
    case 4: rule = {.unit = yearly ? RuleUnit::kYear : RuleUnit::kMonth, .on = RuleDay::kLastWorkday}; break;
    case 5: rule = {.unit = RuleUnit::kMonth, .interval = small(rng)}; break;
    default: rule = {.unit = RuleUnit::kYear, .interval = small(rng)}; break;
  }
  if (percent(rng) < 30) rule.until = CivilDate{year(rng), 12, 31};
  if (percent(rng) < 20) rule.skips = {CivilDate{year(rng), 1, 2}, CivilDate{year(rng), 6, 15}};
  return rule;
}

// Mostly yearly and one-off events, some monthly, a few every N days; a
// quarter of them with a rule after column 110, a third with reminders
// (drawn from the name, so the rest of the mix stays as it was).
inline std::string RandomEventLine(std::mt19937& rng) {
  std::uniform_int_distribution<int> year(1950, 2010), month(1, 12), day(1, 28), category(1, 6), kind(0, 99),
      count(1, 60), letter('a', 'z');
  EventRecord r;
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", month(rng));
  r.month = buf;
  std::snprintf(buf, sizeof buf, "%02d", day(rng));
  r.day = buf;
  r.year = std::to_string(year(rng));
  r.time = "12:30";
  r.category = *CategoryFromCode(category(rng));
  const int k = kind(rng);
  r.recurrence = {k < 50, k >= 50 && k < 65, k >= 65 && k < 90, k >= 90};
  r.dayCount = r.recurrence.eachNDays ? std::to_string(count(rng)) : "0";
  for (int i = 0; i < 20; ++i) r.name += static_cast<char>(letter(rng));
  r.comment = "generated";
  if (r.name[0] % 3 == 0) r.rule.reminders = r.name[1] % 2 == 0 ? std::vector<int>{15} : std::vector<int>{60, 1440};
  if (std::uniform_int_distribution<int>(0, 3)(rng) == 0) {
    const std::vector<int> reminders = std::move(r.rule.reminders);
    r.rule = RandomRule(rng);
    r.rule.reminders = reminders;
    // The end may come before the first day: such an event is no event.
    if (BuiltLine built = BuildEventLine(r); built.ok()) return built.line;
    r.rule.until.reset();
  }
  return BuildEventLine(r).line;
}

// A one-off work event of its own for every i, on the given date
// ("mm", "dd", "yyyy"): the lines that benchmarks save and delete.
inline std::string NumberedEventLine(std::int64_t i, const char* month, const char* day, const char* year) {
  const EventRecord r{.month = month,
                      .day = day,
                      .year = year,
                      .time = "09:00",
                      .category = EventCategory::kWorkBusiness,
                      .recurrence = {.onlyOnce = true},
                      .name = "numbered " + std::to_string(i),
                      .comment = ""};
  return BuildEventLine(r).line;
}

// An event file of n such events at `path`.
inline void WriteEventFile(const std::string& path, int n, unsigned seed = 20030510) {
  std::mt19937 rng(seed);
  std::ofstream out(path, std::ios::binary);
  out << EventList::kNewFileLine << "\r\n";
  for (int i = 0; i < n; ++i) out << RandomEventLine(rng) << "\r\n";
}

}  // namespace redoviri::testing
