#include "astro/moon.h"

#include <cmath>
#include <cstdlib>

#include "astro/ah_math.h"
#include "astro/astro_tables.h"

namespace redoviri::astro {
namespace {

// Terms with M in the argument shrink with the eccentricity of the Earth's
// orbit: times E for |m| = 1, times E^2 for |m| = 2.
long double EccentricityFactor(int m, long double E) {
  switch (std::abs(m)) {
    case 1: return E;
    case 2: return E * E;
    default: return 1;
  }
}

}  // namespace

CelestialPosition MoonPosition(DateTime t) {
  const long double T = (JulianDay(t) - 2451545.0L) / 36525;
  const long double T2 = T * T;
  const long double T3 = T2 * T;
  const long double T4 = T3 * T;
  // Mean arguments in degrees, left unreduced: SinD and CosD reduce them.
  const long double Lp = 218.3164591L + 481267.88134236L * T - 0.0013268L * T2 + T3 / 538841 - T4 / 65194000;
  const long double D = 297.8502042L + 445267.1115168L * T - 0.00163L * T2 + T3 / 545868 - T4 / 113065000;
  const long double M = 357.5291092L + 35999.0502909L * T - 0.0001536L * T2 + T3 / 24490000;
  const long double Mp = 134.9634114L + 477198.8676313L * T + 0.008997L * T2 + T3 / 69699 - T4 / 14712000;
  const long double F = 93.2720993L + 483202.0175273L * T - 0.0034029L * T2 - T3 / 3526000 + T4 / 863310000;
  const long double A1 = 119.75L + 131.849L * T;
  const long double A2 = 53.09L + 479264.29L * T;
  const long double A3 = 313.45L + 481266.484L * T;
  const long double E = 1 - 0.002516L * T - 0.0000074L * T2;

  const auto argument = [&](const auto& row) { return row.d * D + row.m * M + row.mp * Mp + row.f * F; };

  long double sumR = 0;
  for (const auto& row : tables::kLunarLongitudeDistance)
    sumR += row.sigmaR * CosD(argument(row)) * EccentricityFactor(row.m, E);
  long double sumL = 0;
  for (const auto& row : tables::kLunarLongitudeDistance)
    sumL += row.sigmaL * SinD(argument(row)) * EccentricityFactor(row.m, E);
  sumL = sumL + 3958 * SinD(A1) + 1962 * SinD(Lp - F) + 318 * SinD(A2);

  long double sumB = 0;
  for (const auto& row : tables::kLunarLatitude)
    sumB += row.sigmaB * SinD(argument(row)) * EccentricityFactor(row.m, E);
  sumB = sumB - 2235 * SinD(Lp) + 382 * SinD(A3) + 175 * SinD(A1 - F) + 175 * SinD(A1 + F) + 127 * SinD(Lp - Mp) -
         115 * SinD(Lp + Mp);

  CelestialPosition moon{Lp + sumL * 0.000001L, sumB * 0.000001L, 385000.56L + sumR * 0.001L};
  ApplyNutation(moon, t);
  return moon;
}

long double MoonPhaseAngle(const CelestialPosition& sun, const CelestialPosition& moon) {
  const long double psi = ArcCos(CosD(moon.latitude) * CosD(moon.longitude - sun.longitude));
  long double i = std::atan((sun.distance * Sin(psi)) / (moon.distance - sun.distance * Cos(psi)));
  if (i < 0)
    i = i * kOneOverPi * 180 + 180;
  else
    i = i * kOneOverPi * 180;
  if (PutIn360(moon.longitude - sun.longitude) > 180) i = -i;
  return i;
}

long double MoonPhaseAngle(DateTime t) { return MoonPhaseAngle(SunPosition(t), MoonPosition(t)); }

long double IlluminationOfPhaseAngle(long double phaseAngle) { return (CosD(phaseAngle) + 1) * 0.5L; }

long double MoonIllumination(DateTime t) { return IlluminationOfPhaseAngle(MoonPhaseAngle(t)); }

}  // namespace redoviri::astro
