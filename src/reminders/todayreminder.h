// Today's events in the tray: the counts per category, the tooltip, the
// blinking between the day-number icon and the category icons, and the
// once-a-minute check whether the date has changed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/datetime.h"
#include "events/eventlist.h"
#include "reminders/matching.h"

namespace redoviri {

struct TodayCounts {
  CategoryCounts perCategory{};
  int total = 0;  // each event once, categories 1..6 only
  friend bool operator==(const TodayCounts&, const TodayCounts&) = default;
};

TodayCounts CountToday(const EventList& events, const CivilDate& today);

inline constexpr std::string_view kTodayOpening = "Today : ";
inline constexpr std::string_view kNoEventToday = "Well, no event for today...";

// "Today : " and, for each category with events, the count and the
// category's word; or "Well, no event for today...".
std::string TodayTooltip(const TodayCounts& counts);

// Blinking, one tick every 2 seconds: every other tick shows the day-number
// icon; the ticks between show in turn the icon of each category with events
// today, 1 to 6, then the cycle starts again.
inline constexpr int kBlinkIntervalMs = 2000;
inline constexpr int kDayNumberIcon = 0;  // icons 1..6 are the categories

struct BlinkState {
  int toggle = 0;  // 0: the next tick shows the day number; 1: a category
  int phase = 0;   // 0..6, the category the next category tick starts from
  friend bool operator==(const BlinkState&, const BlinkState&) = default;
};

struct BlinkTick {
  int icon = kDayNumberIcon;  // what the tray shows after this tick
  BlinkState next;
};

BlinkTick NextBlinkTick(const CategoryCounts& counts, BlinkState state);

// The day key "ddmmyyyy" of a date.
std::string DayKey(const CivilDate& date);

struct DayChange {
  bool changed = false;
  std::string key;  // today's key
};

// Compares today's key with the one last seen.
DayChange CheckDayChange(std::string_view lastKey, const CivilDate& today);

}  // namespace redoviri
