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

// Mostly yearly and one-off events, some monthly, a few every N days.
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
