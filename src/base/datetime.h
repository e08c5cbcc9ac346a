// The program's date-time value and exact calendar arithmetic.
//
// A date-time value is a double: the whole part counts days since
// 1899-12-30 (so 2000-01-01 is 36526) and the fraction is the time of day
// (0.5 = 12:00), in local civil time. Dates are always built from year,
// month and day numbers, never by parsing text, so the system's date
// separator and order do not matter here.
//
// Unlike some date libraries, the value is linear across 1899-12-30:
// 1899-12-29 12:00 is -0.5, so subtracting two values always gives the
// elapsed time, which the astronomy relies on for every year 1..9999.
#pragma once

#include <cstdint>
#include <optional>

namespace redoviri {

using DateTime = double;

struct CivilDate {
  int year = 0;   // 1..9999
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  friend bool operator==(const CivilDate&, const CivilDate&) = default;
};

struct CivilTime {
  int hour = 0, minute = 0, second = 0;
  friend bool operator==(const CivilTime&, const CivilTime&) = default;
};

inline constexpr int kMinYear = 1;
inline constexpr int kMaxYear = 9999;

// Gregorian leap rule: divisible by 4, and not by 100 unless by 400.
bool IsLeapYear(int year);
// 28..31, or 0 when the month is outside 1..12.
int DaysInMonth(int year, int month);
// True for a real calendar date in years 1..9999.
bool IsValidDate(int year, int month, int day);
bool IsValidDate(const CivilDate& d);

// Day number (days since 1899-12-30) of a valid date; nullopt otherwise.
std::optional<std::int32_t> DayNumber(int year, int month, int day);
std::optional<std::int32_t> DayNumber(const CivilDate& d);
// The date of a day number (inverse of DayNumber).
CivilDate DateOfDayNumber(std::int32_t dayNumber);

// Date-time value of a valid date at the given time of day.
std::optional<DateTime> EncodeDateTime(const CivilDate& d, int hour = 0, int minute = 0, int second = 0);
// 12:00 of the day: the moment the moon marks are computed for.
std::optional<DateTime> NoonOf(const CivilDate& d);

// Splits a date-time value into date and time of day (seconds rounded).
CivilDate DateOf(DateTime t);
CivilTime TimeOf(DateTime t);

// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(const CivilDate& d);

// Round to the nearest integer, halves to the even neighbour.
long long RoundHalfEven(long double x);

}  // namespace redoviri
