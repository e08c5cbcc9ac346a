// Placement of a month in the main window's grid of 37 day cells.
//
// The grid has 7 columns, Monday first, and up to 6 week rows. Cell k
// (1..37) lies in column (k - 1) mod 7 and week row (k - 1) div 7. Cells
// 38..42 of the last row exist as panels but never hold a day: the latest a
// month can end is cell 37 (a 31-day month whose 1st is a Sunday).
#pragma once

#include <optional>
#include <string>

#include "base/datetime.h"

namespace redoviri {

inline constexpr int kDayCellCount = 37;
inline constexpr int kWeekColumns = 7;
// First day of the grid's week as a weekday index from 0 = Sunday.
inline constexpr int kStartOfWeek = 1;  // Monday

constexpr int CellColumn(int cell) { return (cell - 1) % kWeekColumns; }
constexpr int CellRow(int cell) { return (cell - 1) / kWeekColumns; }

// Day-name number (1 = Sunday .. 7 = Saturday) shown in the header of
// column 0..6: Monday for column 0 through Sunday for column 6.
int HeaderDayNumber(int column);

// The day number that cell 1 would hold, counting on from the 1st: 1 when the
// 1st is a Monday, down to -5 when it is a Sunday (the first week row then
// holds only the 1st, in its last column). Years 1..9999, months 1..12;
// throws std::invalid_argument otherwise.
int MonthOffset(int year, int month);

// One month laid into the cells.
class MonthPlacement {
 public:
  // Years 1..9999, months 1..12; throws std::invalid_argument otherwise.
  MonthPlacement(int year, int month);

  int Year() const { return year_; }
  int Month() const { return month_; }
  int Offset() const { return offset_; }
  int Length() const { return length_; }

  // Day of the month in cell 1..37, or 0 when the cell holds no day (also for
  // numbers outside 1..37).
  int DayOfCell(int cell) const;
  // Cell 1..37 of a day of the month, or 0 when the month has no such day.
  int CellOfDay(int day) const;
  // The cell's caption: the day number without leading zero, or empty.
  std::string CellText(int cell) const;
  // Today's cell when this is today's month, else none.
  std::optional<int> TodayCell(const CivilDate& today) const;

 private:
  int year_, month_, offset_, length_;
};

}  // namespace redoviri
