#include "astro/vsop.h"

#include <cstddef>

#include "astro/ah_math.h"
#include "astro/astro_tables.h"

namespace redoviri::astro {
namespace {

constexpr unsigned kPowers = 6;  // tau^0 .. tau^5

const VSOPTerm& TermOf(const tables::VSOPSeries& series, std::int32_t index, unsigned power) {
  if (power >= kPowers || index < 0) return kNoVSOPTerm;
  const auto& table = series.powers[power];
  if (static_cast<std::size_t>(index) >= table.size()) return kNoVSOPTerm;
  return table[static_cast<std::size_t>(index)];
}

// One row of the nutation series: multipliers of D, M, M', F, Omega;
// S in 0.0001", S1 in 0.00001" per Julian century.
struct NutationTerm {
  std::int8_t d, m, mp, f, omega;
  std::int32_t s, s1;
};

// The 31 largest terms of the IAU 1980 nutation in longitude, in the order
// of the published table.
constexpr NutationTerm kNutationInLongitude[] = {
    {0, 0, 0, 0, 1, -171996, -1742}, {-2, 0, 0, 2, 2, -13187, -16}, {0, 0, 0, 2, 2, -2274, -2},
    {0, 0, 0, 0, 2, 2062, 2},        {0, 1, 0, 0, 0, 1426, -34},    {0, 0, 1, 0, 0, 712, 1},
    {-2, 1, 0, 2, 2, -517, 12},      {0, 0, 0, 2, 1, -386, -4},     {0, 0, 1, 2, 2, -301, 0},
    {-2, -1, 0, 2, 2, 217, -5},      {-2, 0, 1, 0, 0, -158, 0},     {-2, 0, 0, 2, 1, 129, 1},
    {0, 0, -1, 2, 2, 123, 0},        {2, 0, 0, 0, 0, 63, 0},        {0, 0, 1, 0, 1, 63, 1},
    {2, 0, -1, 2, 2, -59, 0},        {0, 0, -1, 0, 1, -58, -1},     {0, 0, 1, 2, 1, -51, 0},
    {-2, 0, 2, 0, 0, 48, 0},         {0, 0, -2, 2, 1, 46, 0},       {2, 0, 0, 2, 2, -38, 0},
    {0, 0, 2, 2, 2, -31, 0},         {0, 0, 2, 0, 0, 29, 0},        {-2, 0, 1, 2, 2, 29, 0},
    {0, 0, 0, 2, 0, 26, 0},          {-2, 0, 0, 2, 0, -22, 0},      {0, 0, -1, 2, 1, 21, 0},
    {0, 2, 0, 0, 0, 17, -1},         {2, 0, -1, 0, 1, 16, 0},       {-2, 2, 0, 2, 2, -16, 1},
    {0, 1, 0, 0, 1, -15, 0},
};

constexpr long double kKmPerAU = 149597869;

}  // namespace

long double TVSOP::Millennia() const { return (date_ - J2000Day - 0.5L) / 365250; }

long double TVSOP::SumSeries(TermFunction term) const {
  const long double tau = Millennia();
  long double s[kPowers];
  for (unsigned power = 0; power < kPowers; ++power) {
    s[power] = 0;
    for (std::int32_t index = 0;; ++index) {
      const VSOPTerm& t = (this->*term)(index, power);
      const long double contribution = t.A * Cos(t.B + t.C * tau);
      s[power] += contribution;
      if (contribution == 0) break;
    }
  }
  return (((((s[5] * tau + s[4]) * tau + s[3]) * tau + s[2]) * tau + s[1]) * tau + s[0]) * 1e-8L;
}

long double TVSOP::Longitude() const { return SumSeries(&TVSOP::LongitudeTerm); }
long double TVSOP::Latitude() const { return SumSeries(&TVSOP::LatitudeTerm); }
long double TVSOP::Radius() const { return SumSeries(&TVSOP::RadiusTerm); }

void TVSOP::ToFK5(long double& longitude, long double& latitude) const {
  const long double T = 10 * Millennia();
  const long double shifted = longitude + T * DegToRad(-1.397L - 0.00031L * T);
  const long double dL =
      -DegToRad(0.09033L / 3600) + DegToRad(0.03916L / 3600) * (Cos(shifted) + Sin(shifted)) * Tan(latitude);
  const long double dB = DegToRad(0.03916L / 3600) * (Cos(shifted) - Sin(shifted));
  longitude = longitude + dL;
  latitude = latitude + dB;
}

const VSOPTerm& TVSOPEarth::LongitudeTerm(std::int32_t index, unsigned power) const {
  return TermOf(tables::kEarthLongitude, index, power);
}

const VSOPTerm& TVSOPEarth::LatitudeTerm(std::int32_t index, unsigned power) const {
  return TermOf(tables::kEarthLatitude, index, power);
}

const VSOPTerm& TVSOPEarth::RadiusTerm(std::int32_t index, unsigned power) const {
  return TermOf(tables::kEarthRadius, index, power);
}

HeliocentricPosition EarthPosition(DateTime t) {
  TVSOPEarth earth;
  earth.SetDate(t);
  const long double R = earth.Radius();
  long double L = earth.Longitude();
  long double B = earth.Latitude();
  earth.ToFK5(L, B);
  return {PutIn360(RadToDeg(L)), RadToDeg(B), R};
}

long double NutationInLongitude(DateTime t) {
  const long double T = (JulianDay(t) - 2451545.0L) / 36525;
  const long double T2 = T * T;
  const long double T3 = T2 * T;
  const long double D = PutIn360(297.85036L + 445267.11148L * T - 0.0019142L * T2 + T3 / 189474);
  const long double M = PutIn360(357.52772L + 35999.05034L * T - 0.0001603L * T2 - T3 / 300000);
  const long double Mp = PutIn360(134.96298L + 477198.867398L * T + 0.0086972L * T2 + T3 / 56250);
  const long double F = PutIn360(93.27191L + 483202.017538L * T - 0.0036825L * T2 + T3 / 327270);
  const long double Omega = PutIn360(125.04452L - 1934.136261L * T + 0.0020708L * T2 + T3 / 450000);
  long double dpsi = 0;
  for (const NutationTerm& n : kNutationInLongitude) {
    const long double argument = n.d * D + n.m * M + n.mp * Mp + n.f * F + n.omega * Omega;
    dpsi += (n.s + n.s1 * T * 0.1L) * SinD(argument);
  }
  return dpsi * 0.0001L / 3600;
}

void ApplyNutation(CelestialPosition& position, DateTime t) {
  position.longitude = PutIn360(position.longitude + NutationInLongitude(t));
}

CelestialPosition SunPosition(DateTime t) {
  const HeliocentricPosition earth = EarthPosition(t);
  long double theta = earth.longitude + 180;
  long double beta = -earth.latitude;
  const long double T = 10 * (JulianDay(t) - 2451545.0L) / 365250;
  const long double lambda = theta + (-1.397L - 0.00031L * T) * T;
  theta = theta - 0.09033L / 3600;
  beta = beta + (CosD(lambda) - SinD(lambda)) * 0.03916L / 3600;
  theta = theta - (20.4898L / 3600) / earth.radius;
  CelestialPosition sun{PutIn360(theta), beta, earth.radius * kKmPerAU};
  ApplyNutation(sun, t);
  return sun;
}

}  // namespace redoviri::astro
