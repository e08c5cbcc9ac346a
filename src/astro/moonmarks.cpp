#include "astro/moonmarks.h"

#include <stdexcept>
#include <string>

#include "astro/moon.h"

namespace redoviri::astro {
namespace {

CivilDate CheckedDate(int year, int month, int day) {
  if (!IsValidDate(year, month, day))
    throw std::invalid_argument("no such date: " + std::to_string(year) + "-" + std::to_string(month) + "-" +
                                std::to_string(day));
  return {year, month, day};
}

}  // namespace

long long IlluminationPercent(long double fraction) { return RoundHalfEven(fraction * 100); }

MoonMark MarkOfPercent(long long percent) {
  if (percent == 0) return MoonMark::NewMoon;
  if (percent == 100) return MoonMark::FullMoon;
  return MoonMark::None;
}

DayIllumination IlluminationOfDay(const CivilDate& date, const IlluminationFunction& illumination) {
  const auto noon = NoonOf(date);
  if (!noon) throw std::invalid_argument("no such date");
  const long double fraction = illumination(*noon);
  return {fraction, IlluminationPercent(fraction)};
}

DayIllumination IlluminationOfDay(const CivilDate& date) { return IlluminationOfDay(date, MoonIllumination); }

MoonMark MarkMoon(int year, int month, int day, MoonMark previous, const IlluminationFunction& illumination) {
  if (day == 0 || previous != MoonMark::None) return MoonMark::None;
  return MarkOfPercent(IlluminationOfDay(CheckedDate(year, month, day), illumination).percent);
}

MoonMark MarkMoon(int year, int month, int day, MoonMark previous) {
  return MarkMoon(year, month, day, previous, MoonIllumination);
}

MonthMoonMarks MarkMoonMonth(int year, int month, const MonthCellDays& days, const IlluminationFunction& illumination) {
  MonthMoonMarks marks{};
  MoonMark previous = MoonMark::None;
  for (int k = 0; k < kDayCellCount; ++k) {
    marks[k] = MarkMoon(year, month, days[k], previous, illumination);
    previous = marks[k];
  }
  return marks;
}

MonthMoonMarks MarkMoonMonth(int year, int month, const MonthCellDays& days) {
  return MarkMoonMonth(year, month, days, MoonIllumination);
}

const MonthMoonMarks& MoonMarkCache::Marks(int year, int month) {
  for (const Entry& e : entries_)
    if (e.year == year && e.month == month) return e.marks;
  Entry& e = entries_[next_];
  e.marks = MarkMoonMonth(year, month, MonthCells(year, month));  // throws before the entry changes
  e.year = year;
  e.month = month;
  next_ = (next_ + 1) % kMonthsKept;
  return e.marks;
}

MonthCellDays MonthCells(int year, int month) {
  const MonthPlacement placement(year, month);
  MonthCellDays days{};
  for (int k = 0; k < kDayCellCount; ++k) days[k] = placement.DayOfCell(k + 1);
  return days;
}

}  // namespace redoviri::astro
