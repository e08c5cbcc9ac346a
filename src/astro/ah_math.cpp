#include "astro/ah_math.h"

#include <cmath>

namespace redoviri::astro {

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

long double SinD(long double degrees) { return Sin(DegToRad(PutIn360(degrees))); }

long double CosD(long double degrees) { return Cos(DegToRad(PutIn360(degrees))); }

long double Tan(long double radians) { return Sin(radians) / Cos(radians); }

long double ArcSin(long double x) { return std::atan(x / std::sqrt(1 - x * x)); }

long double ArcCos(long double x) { return kPi / 2 - ArcSin(x); }

long double JulianDay(DateTime t) { return t + JulianDayOffset; }

}  // namespace redoviri::astro
