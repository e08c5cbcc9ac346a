#include "astro/deltat.h"

#include "astro/ah_math.h"

namespace redoviri::astro {
namespace {

inline constexpr long double kDaysPerGregorianYear = 365.2425L;

// c[0] + c[1] x + ... by Horner's rule.
template <std::size_t N>
long double Polynomial(long double x, const long double (&c)[N]) {
  long double sum = 0;
  for (std::size_t i = N; i-- > 0;) sum = sum * x + c[i];
  return sum;
}

long double LongTermParabola(long double y) {
  const long double u = (y - 1820) / 100;
  return -20 + 32 * u * u;
}

}  // namespace

long double DecimalYear(DateTime t) {
  return 2000 + (static_cast<long double>(t) - J2000Day) / kDaysPerGregorianYear;
}

long double DeltaTPolynomial(long double y) {
  if (y < -500) return LongTermParabola(y);
  if (y < 500) {
    return Polynomial(y / 100, {10583.6L, -1014.41L, 33.78311L, -5.952053L, -0.1798452L, 0.022174192L, 0.0090316521L});
  }
  if (y < 1600) {
    return Polynomial((y - 1000) / 100,
                      {1574.2L, -556.01L, 71.23472L, 0.319781L, -0.8503463L, -0.005050998L, 0.0083572073L});
  }
  if (y < 1700) return Polynomial(y - 1600, {120.0L, -0.9808L, -0.01532L, 1.0L / 7129});
  if (y < 1800) return Polynomial(y - 1700, {8.83L, 0.1603L, -0.0059285L, 0.00013336L, -1.0L / 1174000});
  if (y < 1860) {
    return Polynomial(y - 1800, {13.72L, -0.332447L, 0.0068612L, 0.0041116L, -0.00037436L, 0.0000121272L,
                                 -0.0000001699L, 0.000000000875L});
  }
  if (y < 1900) {
    return Polynomial(y - 1860, {7.62L, 0.5737L, -0.251754L, 0.01680668L, -0.0004473624L, 1.0L / 233174});
  }
  if (y < 1920) return Polynomial(y - 1900, {-2.79L, 1.494119L, -0.0598939L, 0.0061966L, -0.000197L});
  if (y < 1941) return Polynomial(y - 1920, {21.20L, 0.84493L, -0.076100L, 0.0020936L});
  if (y < 1961) return Polynomial(y - 1950, {29.07L, 0.407L, -1.0L / 233, 1.0L / 2547});
  if (y < 1986) return Polynomial(y - 1975, {45.45L, 1.067L, -1.0L / 260, -1.0L / 718});
  if (y < 2005) {
    return Polynomial(y - 2000, {63.86L, 0.3345L, -0.060374L, 0.0017275L, 0.000651814L, 0.00002373599L});
  }
  if (y < 2050) return Polynomial(y - 2000, {62.92L, 0.32217L, 0.005589L});
  if (y < 2150) return LongTermParabola(y) - 0.5628L * (2150 - y);
  return LongTermParabola(y);
}

long double LunarAccelerationCorrection(long double y) {
  if (y >= 1955 && y <= 2005) return 0;
  const long double d = y - 1955;
  return -0.000012932L * d * d;
}

long double DeltaT(long double y) { return DeltaTPolynomial(y) + LunarAccelerationCorrection(y); }

DateTime UniversalOfDynamical(DateTime tt) {
  return static_cast<DateTime>(static_cast<long double>(tt) - DeltaT(DecimalYear(tt)) / 86400);
}

}  // namespace redoviri::astro
