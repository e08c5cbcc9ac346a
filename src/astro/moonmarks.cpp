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
  for (int k = 0; k < kMonthCells; ++k) {
    marks[k] = MarkMoon(year, month, days[k], previous, illumination);
    previous = marks[k];
  }
  return marks;
}

MonthMoonMarks MarkMoonMonth(int year, int month, const MonthCellDays& days) {
  return MarkMoonMonth(year, month, days, MoonIllumination);
}

MonthCellDays MonthCells(int year, int month) {
  const int length = DaysInMonth(year, month);
  if (length == 0 || !IsValidDate(year, month, 1)) throw std::invalid_argument("no such month");
  // DayOfWeek counts 1 = Sunday .. 7 = Saturday; Monday is column 0.
  const int column = (DayOfWeek({year, month, 1}) + 5) % 7;
  MonthCellDays days{};
  for (int day = 1; day <= length; ++day) days[column + day - 1] = day;
  return days;
}

}  // namespace redoviri::astro
