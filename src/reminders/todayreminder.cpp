#include "reminders/todayreminder.h"

#include <cstdio>

namespace redoviri {

TodayCounts CountToday(const EventList& events, const CivilDate& today) {
  TodayCounts counts;
  const std::optional<MatchDay> day = MakeMatchDay(today.year, today.month, today.day);
  if (!day) return counts;
  for (const EventList::Entry& event : events.Entries()) {
    if (FallsOn(event.parsed, *day) && CountCategory(counts.perCategory, event.parsed.category)) ++counts.total;
  }
  return counts;
}

std::string TodayTooltip(const TodayCounts& counts) {
  if (counts.total == 0) return std::string(kNoEventToday);
  std::string text(kTodayOpening);
  for (int code = 1; code <= kCategoryCount; ++code) {
    const int count = counts.perCategory[static_cast<std::size_t>(code - 1)];
    if (count < 1) continue;
    text += std::to_string(count);
    text += InfoOf(*CategoryFromCode(code)).tooltipWord;
  }
  return text;
}


BlinkTick NextBlinkTick(const CategoryCounts& counts, BlinkState state) {
  if (state.toggle == 0) return {kDayNumberIcon, {1, state.phase + 1}};
  int icon = kDayNumberIcon;  // no category left: the day number stays
  for (int k = 1; k <= kCategoryCount - 1 && icon == kDayNumberIcon; ++k) {
    if (state.phase != k) continue;
    if (counts[static_cast<std::size_t>(k - 1)] > 0) {
      icon = k;
    } else {
      ++state.phase;
    }
  }
  if (state.phase == kCategoryCount) {
    if (counts[kCategoryCount - 1] > 0) icon = kCategoryCount;
    state.phase = 0;
  }
  state.toggle = 0;
  return {icon, state};
}

std::string DayKey(const CivilDate& date) {
  char key[16];
  std::snprintf(key, sizeof key, "%02d%02d%04d", date.day, date.month, date.year);
  return key;
}

DayChange CheckDayChange(std::string_view lastKey, const CivilDate& today) {
  std::string key = DayKey(today);
  const bool changed = key != lastKey;
  return {changed, std::move(key)};
}

}  // namespace redoviri
