// Angle helpers and time scales of the astronomy.
//
// Everything is computed in 80-bit extended precision (long double);
// date-time values (base/datetime.h) arrive as doubles and are taken
// directly as dynamical time: no Delta T, no time-zone offset.
#pragma once

#include <chrono>
#include <cmath>

#include "base/datetime.h"

namespace redoviri::astro {

// Extended-precision constants used by the angle conversions.
inline constexpr long double kPi = 3.14159265358979323846264338327950288L;
inline constexpr long double kOneOverPi = 0.318309886183790671537767526745028724L;
inline constexpr long double kOneOver180 = 1.0L / 180;

// Day value of 2000-01-01 (36526 days after 1899-12-30, day 0 of date-time
// values) and the offset that turns a day value into a Julian Day
// (2451544.5 - J2000Day = 2415018.5).
inline constexpr long double J2000Day = static_cast<long double>(
    (std::chrono::sys_days{std::chrono::year{2000} / 1 / 1} - std::chrono::sys_days{std::chrono::year{1899} / 12 / 30})
        .count());
inline constexpr long double JulianDayOffset = 2451544.5L - J2000Day;

long double DegToRad(long double degrees);  // x * (1/180) * pi
long double RadToDeg(long double radians);  // x * 180 * (1/pi)

// Reduces degrees to [0, 360): subtracts 360 times the quotient x/360
// rounded to the nearest integer (halves to even), then adds 360 once if
// the rest is negative. The quotient is kept in extended precision, so it
// equals a 32-bit integer quotient wherever one fits (|x| < 7.7e11 degrees,
// far beyond any angle the series produce) and stays sound beyond.
long double PutIn360(long double degrees);

// Sine and cosine of an angle in degrees, reduced with PutIn360 first.
long double SinD(long double degrees);
long double CosD(long double degrees);

// Sine and cosine of an angle in radians, in extended precision. On x86
// these are the FPU's own FSIN and FCOS, which the Windows runtime's sinl
// and cosl also use, so every build gets the same bits (and they are
// several times faster than a software long-double cosine). Inline, as the
// Earth's series calls Cos 2425 times per position.
#if defined(__i386__) || defined(__x86_64__)

// FSIN and FCOS take |x| < 2^63; beyond that (never reached by the series)
// the library does the reduction.
inline constexpr long double kFpuTrigLimit = 0x1p63L;

inline long double Sin(long double radians) {
  if (!(std::fabs(radians) < kFpuTrigLimit)) return std::sin(radians);
  long double result;
  asm("fsin" : "=t"(result) : "0"(radians));
  return result;
}

inline long double Cos(long double radians) {
  if (!(std::fabs(radians) < kFpuTrigLimit)) return std::cos(radians);
  long double result;
  asm("fcos" : "=t"(result) : "0"(radians));
  return result;
}

#else

inline long double Sin(long double radians) { return std::sin(radians); }
inline long double Cos(long double radians) { return std::cos(radians); }

#endif

// Radians in and out.
long double Tan(long double radians);  // Sin(x) / Cos(x)
// arctan(x / sqrt(1 - x^2)); +-pi/2 at x = +-1, NaN for |x| > 1.
long double ArcSin(long double x);
long double ArcCos(long double x);  // pi/2 - ArcSin(x)

// Julian Day of a date-time value: t + JulianDayOffset (36526.5 -> 2451545.0).
long double JulianDay(DateTime t);

}  // namespace redoviri::astro
