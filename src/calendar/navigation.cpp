#include "calendar/navigation.h"

#include <algorithm>
#include <charconv>

namespace redoviri {
namespace {

bool InYearRange(long long year) { return year >= kMinYear && year <= kMaxYear; }

}  // namespace

ViewCalendar::ViewCalendar(const CivilDate& created) : year_(created.year), month_(created.month), day_(created.day) {}

CivilDate ViewCalendar::Date() const { return {year_, month_, std::min(day_, DaysInMonth(year_, month_))}; }

bool ViewCalendar::SetYear(int year) {
  if (!InYearRange(year) || year == year_) return false;
  year_ = year;
  return true;
}

bool ViewCalendar::SetMonth(int month) {
  if (month < 1 || month > 12 || month == month_) return false;
  month_ = month;
  return true;
}

YearFieldChange ReadYearField(std::string_view text, int currentYear) {
  const std::optional<int> year = ReadInteger(text);
  if (!year) return {YearText(currentYear), currentYear};
  if (*year == 0) return {"1900", 1900};
  return {std::nullopt, *year};
}

std::optional<std::string> SteppedYearText(std::string_view text, int step) {
  const std::optional<int> year = ReadInteger(text);
  if (!year) return std::nullopt;
  const long long next = static_cast<long long>(*year) + step;
  if (InYearRange(*year) && !InYearRange(next)) return std::nullopt;
  return std::to_string(next);
}

std::string YearText(int year) {
  std::string digits = std::to_string(year);
  if (year >= 0 && digits.size() < 4) digits.insert(0, 4 - digits.size(), '0');
  return digits;
}

}  // namespace redoviri
