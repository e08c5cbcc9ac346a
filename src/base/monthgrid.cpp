#include "base/monthgrid.h"

#include <stdexcept>

namespace redoviri {
namespace {

void CheckMonth(int year, int month) {
  if (year < kMinYear || year > kMaxYear || month < 1 || month > 12)
    throw std::invalid_argument("month outside the calendar: " + std::to_string(year) + "-" + std::to_string(month));
}

}  // namespace

int HeaderDayNumber(int column) { return (column + kStartOfWeek) % kWeekColumns + 1; }

int MonthOffset(int year, int month) {
  CheckMonth(year, month);
  // a is 0 for a Sunday, 1 for a Monday ... 6 for a Saturday. A Sunday 1st
  // would give offset 2 and leave the first week row empty, so its month is
  // laid one row higher.
  const int a = (DayOfWeek({year, month, 1}) - kStartOfWeek + kWeekColumns) % kWeekColumns;
  return a == 0 ? -5 : 2 - a;
}

MonthPlacement::MonthPlacement(int year, int month)
    : year_(year), month_(month), offset_(MonthOffset(year, month)), length_(DaysInMonth(year, month)) {}

int MonthPlacement::DayOfCell(int cell) const {
  if (cell < 1 || cell > kDayCellCount) return 0;
  const int day = offset_ + cell - 1;
  return day >= 1 && day <= length_ ? day : 0;
}

int MonthPlacement::CellOfDay(int day) const {
  if (day < 1 || day > length_) return 0;
  return day - offset_ + 1;
}

std::string MonthPlacement::CellText(int cell) const {
  const int day = DayOfCell(cell);
  return day == 0 ? std::string() : std::to_string(day);
}

std::optional<int> MonthPlacement::TodayCell(const CivilDate& today) const {
  if (today.year != year_ || today.month != month_) return std::nullopt;
  const int cell = CellOfDay(today.day);
  if (cell == 0) return std::nullopt;
  return cell;
}

}  // namespace redoviri
