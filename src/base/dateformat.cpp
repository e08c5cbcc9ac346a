#include "base/dateformat.h"

#include <stdexcept>
#include <utility>

namespace redoviri {
namespace {

std::string TwoDigits(int n) {
  return {static_cast<char>('0' + n / 10 % 10), static_cast<char>('0' + n % 10)};
}

bool StartsWith(std::string_view text, std::size_t at, std::string_view token) {
  return text.substr(at, token.size()) == token;
}

}  // namespace

std::string FormatDate(std::string_view pattern, const DateLocale& locale, const CivilDate& date,
                       const CivilTime& time) {
  if (!IsValidDate(date)) throw std::invalid_argument("not a date: " + std::to_string(date.year) + "-" +
                                                      std::to_string(date.month) + "-" + std::to_string(date.day));
  if (time.hour < 0 || time.hour > 23 || time.minute < 0 || time.minute > 59 || time.second < 0 || time.second > 59)
    throw std::invalid_argument("not a time of day");

  std::string out;
  std::size_t i = 0;
  // Tries the tokens in the order given, longest first; appends the first
  // that matches and reports whether one did.
  auto take = [&](std::string_view token, auto&& text) {
    if (!StartsWith(pattern, i, token)) return false;
    out += text();
    i += token.size();
    return true;
  };
  while (i < pattern.size()) {
    const bool matched =
        take("dddd", [&] { return locale.LongDayName(DayOfWeek(date)); }) ||
        take("dd", [&] { return TwoDigits(date.day); }) ||
        take("d", [&] { return std::to_string(date.day); }) ||
        take("mmmm", [&] { return locale.LongMonthName(date.month); }) ||
        take("mm", [&] { return TwoDigits(date.month); }) ||
        take("yyyy", [&] { return TwoDigits(date.year / 100) + TwoDigits(date.year); }) ||
        take("hh", [&] { return TwoDigits(time.hour); }) ||
        take("nn", [&] { return TwoDigits(time.minute); }) ||
        take("ss", [&] { return TwoDigits(time.second); });
    if (!matched) out += pattern[i++];
  }
  return out;
}

std::string_view PatternOf(DateForm form, bool monthFirst) {
  switch (form) {
    case DateForm::Long: return monthFirst ? "dddd, mmmm d yyyy" : "dddd, d mmmm yyyy";
    case DateForm::LongWithTime: return monthFirst ? "dddd, mmmm d yyyy hh:nn:ss" : "dddd, d mmmm yyyy hh:nn:ss";
    case DateForm::Heading: return monthFirst ? "mmmm dd yyyy" : "dd mmmm yyyy";
    case DateForm::ShortHeading: return monthFirst ? "mmmm dd" : "dd mmmm";
    case DateForm::Numeric: return monthFirst ? "mm/dd/yyyy" : "dd/mm/yyyy";
  }
  throw std::invalid_argument("unknown date form");
}

std::string FormatDate(DateForm form, const DateLocale& locale, const CivilDate& date, const CivilTime& time) {
  return FormatDate(PatternOf(form, locale.IsMonthFirst()), locale, date, time);
}

std::string JoinNumericDate(const NumericDateParts& parts, bool monthFirst) {
  const std::string& first = monthFirst ? parts.month : parts.day;
  const std::string& second = monthFirst ? parts.day : parts.month;
  return first + "/" + second + "/" + parts.year;
}

std::optional<CivilDate> ReadNumericDate(std::string_view typed, bool monthFirst) {
  if (typed.size() != 10 || typed[2] != '/' || typed[5] != '/') return std::nullopt;
  const NumericDateParts parts = SplitNumericDate(typed, monthFirst);
  const auto digits = [](std::string_view text) {
    return text.find_first_not_of("0123456789") == std::string_view::npos ? ReadInteger(text) : std::nullopt;
  };
  const std::optional<int> day = digits(parts.day), month = digits(parts.month), year = digits(parts.year);
  if (!day || !month || !year || !IsValidDate(*year, *month, *day)) return std::nullopt;
  return CivilDate{*year, *month, *day};
}

NumericDateParts SplitNumericDate(std::string_view text, bool monthFirst) {
  const auto chars = [text](std::size_t first, std::size_t count) {
    return first < text.size() ? std::string(text.substr(first, count)) : std::string();
  };
  std::string first = chars(0, 2), second = chars(3, 2);
  if (monthFirst) std::swap(first, second);
  return {.day = std::move(first), .month = std::move(second), .year = chars(6, 4)};
}

}  // namespace redoviri
