#include "astro/ah_math.h"

#include <cmath>

namespace redoviri::astro {

const long double J2000Day = static_cast<long double>(*DayNumber(2000, 1, 1));
const long double JulianDayOffset = 2451544.5L - J2000Day;

long double DegToRad(long double degrees) { return degrees * kOneOver180 * kPi; }

long double RadToDeg(long double radians) { return radians * 180 * kOneOverPi; }

long double PutIn360(long double degrees) {
  // rint rounds halves to even under the default rounding mode, like the
  // processor's conversion to a 32-bit integer for every quotient that fits
  // one; 360 * q is exact in extended precision. (nearbyint gives the same
  // value but saves and restores the whole FPU state, ten times slower.)
  const long double q = std::rint(degrees / 360);
  long double x = degrees - 360 * q;
  while (x < 0) x += 360;
  return x;
}

#if defined(__i386__) || defined(__x86_64__)

// FSIN and FCOS take |x| < 2^63; beyond that (never reached by the series)
// the library does the reduction.
constexpr long double kFpuTrigLimit = 0x1p63L;

long double Sin(long double radians) {
  if (!(std::fabs(radians) < kFpuTrigLimit)) return std::sin(radians);
  long double result;
  asm("fsin" : "=t"(result) : "0"(radians));
  return result;
}

long double Cos(long double radians) {
  if (!(std::fabs(radians) < kFpuTrigLimit)) return std::cos(radians);
  long double result;
  asm("fcos" : "=t"(result) : "0"(radians));
  return result;
}

#else

long double Sin(long double radians) { return std::sin(radians); }
long double Cos(long double radians) { return std::cos(radians); }

#endif

long double SinD(long double degrees) { return Sin(DegToRad(PutIn360(degrees))); }

long double CosD(long double degrees) { return Cos(DegToRad(PutIn360(degrees))); }

long double Tan(long double radians) { return Sin(radians) / Cos(radians); }

long double ArcSin(long double x) { return std::atan(x / std::sqrt(1 - x * x)); }

long double ArcCos(long double x) { return kPi / 2 - ArcSin(x); }

long double JulianDay(DateTime t) { return t + JulianDayOffset; }

}  // namespace redoviri::astro
