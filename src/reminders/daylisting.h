// The events of a selected day: one grid row per event in store order, and
// how many events of each category fall on the day.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/datetime.h"
#include "events/eventlist.h"
#include "reminders/matching.h"

namespace redoviri {

enum DayColumn {
  kNameColumn,      // name, blanks trimmed
  kDateColumn,      // first date as stored: "mm/dd/yyyy" or "dd/mm/yyyy"
  kTimeColumn,
  kCategoryColumn,  // category word; empty for a code outside 1..6
  kCommentColumn,   // comment, blanks trimmed
  kEachYearColumn,  // the four flag characters as stored
  kEachMonthColumn,
  kOnlyOnceColumn,
  kEachNDaysColumn,
  kDayCountColumn,  // the three characters of the day count
  kDayColumnCount,
};

using DayRow = std::array<std::string, kDayColumnCount>;

struct DayListing {
  std::vector<DayRow> rows;
  std::vector<std::string> lines;  // the stored line of each row, as read
  CategoryCounts counts{};
};

// The grid row of an event line; the date in the system's order.
DayRow MakeDayRow(std::string_view line, bool monthFirst);

// The events falling on `day`. A day that is not a calendar date (no day
// selected yet) lists nothing.
DayListing ListDay(const EventList& events, const CivilDate& day, bool monthFirst);

}  // namespace redoviri
