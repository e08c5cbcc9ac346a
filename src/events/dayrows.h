// The event list window's rows: one row per event line, the columns as the
// grid shows them, and the counts per category beside them.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "events/eventrecord.h"

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

// The events of one day.
struct DayListing {
  std::vector<DayRow> rows;
  std::vector<std::string> lines;  // the stored line of each row, as read
  CategoryCounts counts{};
};

// The grid row of an event line; the date in the system's order.
DayRow MakeDayRow(std::string_view line, bool monthFirst);

}  // namespace redoviri
