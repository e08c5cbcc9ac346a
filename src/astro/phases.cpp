#include "astro/phases.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "astro/ah_math.h"
#include "astro/deltat.h"
#include "astro/moon.h"
#include "astro/vsop.h"

namespace redoviri::astro {
namespace {

inline constexpr long double kSynodicMonth = 29.530588861L;  // days
inline constexpr long double kSecondsPerDay = 86400;

// Degrees reduced to [-180, 180).
long double PutIn180(long double degrees) {
  const long double x = PutIn360(degrees);
  return x >= 180 ? x - 360 : x;
}

// How far the elongation is past the phase's angle, degrees in [-180, 180).
long double PhaseOffset(LunarPhase phase, DateTime tt) {
  return PutIn180(Elongation(tt) - (phase == LunarPhase::Full ? 180 : 0));
}

}  // namespace

long double Elongation(DateTime tt) { return PutIn360(MoonPosition(tt).longitude - SunPosition(tt).longitude); }

DateTime MeanPhase(long double k) {
  const long double t = k / 1236.85L;  // Julian centuries from J2000.0
  const long double jde = 2451550.09766L + kSynodicMonth * k + t * t * (0.00015437L + t * (-0.000000150L + t * 0.00000000073L));
  return static_cast<DateTime>(jde - JulianDayOffset);
}

DateTime PhaseNear(LunarPhase phase, DateTime guess) {
  // The elongation grows by 10.5..14.5 degrees a day; a first step at its
  // mean rate, then secant steps, which converge superlinearly: four to six
  // evaluations reach a millisecond.
  constexpr long double kMeanRate = 360 / kSynodicMonth;  // degrees per day
  constexpr long double kTolerance = 1e-8L;              // days, about 1 ms
  long double t0 = guess;
  long double f0 = PhaseOffset(phase, guess);
  long double t1 = t0 - f0 / kMeanRate;
  for (int i = 0; i < 40; ++i) {
    const long double f1 = PhaseOffset(phase, static_cast<DateTime>(t1));
    if (f1 == 0 || f1 == f0) break;
    const long double step = -f1 * (t1 - t0) / (f1 - f0);
    t0 = t1;
    f0 = f1;
    t1 += step;
    if (std::fabs(step) < kTolerance) break;
  }
  return static_cast<DateTime>(t1);
}

long long RoundedSecond(DateTime t) { return RoundHalfEven(static_cast<long double>(t) * kSecondsPerDay); }

std::vector<PhaseInstant> MoonPhasesBetween(DateTime from, DateTime to) {
  std::vector<PhaseInstant> phases;
  if (!(from < to)) return phases;
  const long long first = RoundedSecond(from);
  const long long end = RoundedSecond(to);
  // Mean and true phases differ by under a day; Delta T is under three days
  // over years 1..9999.
  constexpr long double kMargin = 4;  // days
  const long double epoch = MeanPhase(0);
  const long double kFirst = std::floor((from - kMargin - epoch) / kSynodicMonth);
  for (long double k = kFirst;; k += 0.5L) {
    const DateTime mean = MeanPhase(k);
    if (mean > to + kMargin) break;
    const LunarPhase phase = std::floor(k) == k ? LunarPhase::New : LunarPhase::Full;
    PhaseInstant p;
    p.phase = phase;
    p.dynamical = PhaseNear(phase, mean);
    p.universal = UniversalOfDynamical(p.dynamical);
    p.second = RoundedSecond(p.universal);
    if (p.second >= first && p.second < end) phases.push_back(p);
  }
  std::sort(phases.begin(), phases.end(), [](const PhaseInstant& a, const PhaseInstant& b) { return a.second < b.second; });
  return phases;
}

std::vector<PhaseInstant> MoonPhasesOf(int year, int month) {
  if (year < kMinYear || year > kMaxYear || month < 0 || month > 12) {
    throw std::invalid_argument("moon phases: no such year or month");
  }
  const auto start = DayNumber(year, month == 0 ? 1 : month, 1);
  const int nextYear = month == 0 || month == 12 ? year + 1 : year;
  const int nextMonth = month == 0 || month == 12 ? 1 : month + 1;
  // The day after 9999-12-31 is not a date of the calendar; count on.
  const auto end = nextYear > kMaxYear ? std::optional<std::int32_t>(*DayNumber(kMaxYear, 12, 31) + 1)
                                       : DayNumber(nextYear, nextMonth, 1);
  return MoonPhasesBetween(static_cast<DateTime>(*start), static_cast<DateTime>(*end));
}

}  // namespace redoviri::astro
