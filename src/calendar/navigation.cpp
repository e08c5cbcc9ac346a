#include "calendar/navigation.h"

#include <algorithm>
#include <charconv>

namespace redoviri {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool InYearRange(long long year) { return year >= kMinYear && year <= kMaxYear; }

}  // namespace

std::optional<int> ReadInteger(std::string_view text) {
  text = Trimmed(text);
  // from_chars takes a minus sign but not a plus sign.
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') return std::nullopt;
  }
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

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
