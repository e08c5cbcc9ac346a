// New-moon and full-moon marks of the month grid.
//
// Each day cell asks for the Moon's illuminated fraction f at 12:00 of its
// day; n = f * 100 rounded half to even. n = 0 marks new moon, n = 100 full
// moon. Cells are decided in increasing order; a cell right after a cell
// that got a mark is not evaluated, so of two consecutive qualifying days
// only the first is marked. Empty cells (no day) are never marked and never
// suppress the next cell.
#pragma once

#include <array>
#include <cstddef>
#include <functional>

#include "base/datetime.h"
#include "base/monthgrid.h"

namespace redoviri::astro {

// Code of a cell's moon picture.
enum class MoonMark : int { None = 0, NewMoon = 1, FullMoon = 2 };

// Day numbers of the 37 cells of a month (index k - 1 for cell k); 0 for an
// empty cell.
using MonthCellDays = std::array<int, kDayCellCount>;
using MonthMoonMarks = std::array<MoonMark, kDayCellCount>;

// The illuminated fraction for a date-time value; MoonIllumination unless a
// caller substitutes its own.
using IlluminationFunction = std::function<long double(DateTime)>;

// The fraction and the rounded percentage of one day at 12:00.
struct DayIllumination {
  long double fraction = 0;  // 0..1
  long long percent = 0;     // fraction * 100, rounded half to even
};

long long IlluminationPercent(long double fraction);
MoonMark MarkOfPercent(long long percent);

// Illumination of a valid date at 12:00; throws std::invalid_argument for a
// date that does not exist.
DayIllumination IlluminationOfDay(const CivilDate& date, const IlluminationFunction& illumination);
DayIllumination IlluminationOfDay(const CivilDate& date);

// The mark of one cell holding `day` (0: empty) of year/month, given the
// mark that the previous cell got in this fill (MoonMark::None for cell 1).
// Calls `illumination` at most once. Throws std::invalid_argument when the
// day does not exist in that month.
MoonMark MarkMoon(int year, int month, int day, MoonMark previous, const IlluminationFunction& illumination);
MoonMark MarkMoon(int year, int month, int day, MoonMark previous);

// All 37 cells of a month, decided in increasing order.
MonthMoonMarks MarkMoonMonth(int year, int month, const MonthCellDays& days, const IlluminationFunction& illumination);
MonthMoonMarks MarkMoonMonth(int year, int month, const MonthCellDays& days);

// The marks of the months asked for last: a month visited again costs a
// look-up, since its marks depend on nothing but the month.
class MoonMarkCache {
 public:
  // Throws std::invalid_argument for a month outside years 1..9999,
  // months 1..12.
  const MonthMoonMarks& Marks(int year, int month);

 private:
  struct Entry {
    int year = 0, month = 0;  // 0: empty
    MonthMoonMarks marks{};
  };
  static constexpr std::size_t kMonthsKept = 24;
  std::array<Entry, kMonthsKept> entries_{};
  std::size_t next_ = 0;  // the entry the next new month takes
};

// The month grid's placement of a month (MonthPlacement). Throws
// std::invalid_argument for a month outside years 1..9999, months 1..12.
MonthCellDays MonthCells(int year, int month);

}  // namespace redoviri::astro
