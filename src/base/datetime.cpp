#include "base/datetime.h"

#include <chrono>
#include <cmath>

namespace redoviri {
namespace {

namespace chr = std::chrono;

// 1899-12-30 as days since the Unix epoch.
constexpr std::int32_t kEpochOffset =
    static_cast<std::int32_t>(chr::sys_days{chr::year{1899} / chr::December / 30}.time_since_epoch().count());

}  // namespace

bool IsLeapYear(int year) { return chr::year{year}.is_leap(); }

int DaysInMonth(int year, int month) {
  if (month < 1 || month > 12) return 0;
  const chr::year_month_day_last ymdl{chr::year{year} / chr::month{static_cast<unsigned>(month)} / chr::last};
  return static_cast<int>(static_cast<unsigned>(ymdl.day()));
}

bool IsValidDate(int year, int month, int day) {
  if (year < kMinYear || year > kMaxYear || month < 1 || month > 12 || day < 1) return false;
  return day <= DaysInMonth(year, month);
}

bool IsValidDate(const CivilDate& d) { return IsValidDate(d.year, d.month, d.day); }

std::optional<std::int32_t> DayNumber(int year, int month, int day) {
  if (!IsValidDate(year, month, day)) return std::nullopt;
  const chr::sys_days sd{chr::year{year} / chr::month{static_cast<unsigned>(month)} /
                         chr::day{static_cast<unsigned>(day)}};
  return static_cast<std::int32_t>(sd.time_since_epoch().count()) - kEpochOffset;
}

std::optional<std::int32_t> DayNumber(const CivilDate& d) { return DayNumber(d.year, d.month, d.day); }

CivilDate DateOfDayNumber(std::int32_t dayNumber) {
  const chr::year_month_day ymd{chr::sys_days{chr::days{dayNumber + kEpochOffset}}};
  return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
          static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

std::optional<DateTime> EncodeDateTime(const CivilDate& d, int hour, int minute, int second) {
  const auto n = DayNumber(d);
  if (!n || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) return std::nullopt;
  return static_cast<double>(*n) + (hour * 3600 + minute * 60 + second) / 86400.0;
}

std::optional<DateTime> NoonOf(const CivilDate& d) {
  const auto n = DayNumber(d);
  if (!n) return std::nullopt;
  return static_cast<double>(*n) + 0.5;
}

CivilDate DateOf(DateTime t) { return DateOfDayNumber(static_cast<std::int32_t>(std::floor(t))); }

CivilTime TimeOf(DateTime t) {
  long long secs = std::llround((t - std::floor(t)) * 86400.0);
  if (secs >= 86400) secs = 86399;
  return {static_cast<int>(secs / 3600), static_cast<int>(secs / 60 % 60), static_cast<int>(secs % 60)};
}

int DayOfWeek(const CivilDate& d) {
  const chr::weekday wd{chr::sys_days{chr::year{d.year} / chr::month{static_cast<unsigned>(d.month)} /
                                      chr::day{static_cast<unsigned>(d.day)}}};
  return static_cast<int>(wd.c_encoding()) + 1;
}

long long RoundHalfEven(long double x) {
  const long double f = std::floor(x);
  const long double diff = x - f;
  long long n = static_cast<long long>(f);
  if (diff > 0.5L || (diff == 0.5L && (n % 2 != 0))) ++n;
  return n;
}

}  // namespace redoviri
