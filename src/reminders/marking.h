// The marking pass over the 37 day cells of the month grid: which event
// picture each cell shows (its DayMark) and the hint of its day number.
#pragma once

#include <array>
#include <cstdint>
#include <vector>
#include <optional>
#include <string>

#include "base/monthgrid.h"
#include "events/eventlist.h"
#include "reminders/matching.h"

namespace redoviri {

// DayMark codes: 1..6 one event of that category, 7..12 the same on today's
// cell, 13 two or more events on today's cell, 14 two or more events.
inline constexpr int kNoEventMark = 0;
inline constexpr int kTodayMarkOffset = 6;
inline constexpr int kSeveralTodayMark = 13;
inline constexpr int kSeveralMark = 14;

// What the month fill left in a cell.
struct MarkCellInput {
  int day = 0;           // day of the month; 0 for a cell outside the month
  bool isToday = false;  // the cell has the today colour
};

struct MonthMarkInput {
  int year = 0;   // displayed month
  int month = 0;
  std::array<MarkCellInput, kDayCellCount> cells{};  // cell k = 1..37 at index k - 1
};

// Result for one cell; `matchCount` counts the events of categories 1..6.
struct CellMark {
  int dayMark = kNoEventMark;
  std::string hint;
  int matchCount = 0;
  friend bool operator==(const CellMark&, const CellMark&) = default;
};

// The whole pass: every cell starts empty, then takes the events in store
// order. An event falling on a cell's day adds its hint entry (label, first
// 25 name characters, ",") and updates the cell's mark; one whose category
// is outside 1..6 changes nothing.
// `cellEvents`, when given, receives the store index of each event on each
// cell, in store order, for marking a cell again (MarkCell).
using CellEvents = std::array<std::vector<std::uint32_t>, kDayCellCount>;
std::array<CellMark, kDayCellCount> MarkMonth(const EventList& events, const MonthMarkInput& month,
                                              CellEvents* cellEvents = nullptr);
// The mark of one cell from the store indices of its events, in store order.
CellMark MarkCell(const EventList& events, const std::vector<std::uint32_t>& indices, bool isToday);

}  // namespace redoviri
