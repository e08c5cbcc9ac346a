// Instants of new and full moon.
//
// A new (full) moon is the instant when the apparent geocentric longitudes of
// the Moon and the Sun, as MoonPosition and SunPosition give them (nutation
// applied to both, the Sun's aberration included), are equal (differ by
// 180 degrees). The instant is found in dynamical time by a secant search
// on the elongation, started from the mean lunation of J. Meeus,
// Astronomical Algorithms, chapter 49, and turned into universal time with
// DeltaT (astro/deltat.h).
#pragma once

#include <vector>

#include "base/datetime.h"

namespace redoviri::astro {

enum class LunarPhase : int { New = 0, Full = 1 };

struct PhaseInstant {
  LunarPhase phase = LunarPhase::New;
  DateTime dynamical = 0;  // TT, date-time value
  DateTime universal = 0;  // UT, date-time value
  long long second = 0;    // UT in whole seconds since 1899-12-30 00:00, rounded to the nearest
};

// The Moon's apparent longitude minus the Sun's, degrees in [0, 360), at
// dynamical time tt.
long double Elongation(DateTime tt);

// Time (TT) of the mean new moon of lunation k (k = 0: 2000-01-06), or of
// the mean full moon for k + 0.5: Meeus' equation 49.1.
DateTime MeanPhase(long double k);

// The instant (TT) of the phase nearest to `guess` (TT), which must lie
// within a few days of it.
DateTime PhaseNear(LunarPhase phase, DateTime guess);

// Whole seconds since 1899-12-30 00:00 of a date-time value, rounded to the
// nearest second (halves to even).
long long RoundedSecond(DateTime t);

// All new and full moons whose rounded UT second lies in [from, to), given
// as UT date-time values of whole seconds, in time order.
std::vector<PhaseInstant> MoonPhasesBetween(DateTime from, DateTime to);

// The new and full moons of a month (1..12) or, with month 0, of a whole
// year, in UT. Throws std::invalid_argument outside years 1..9999.
std::vector<PhaseInstant> MoonPhasesOf(int year, int month = 0);

}  // namespace redoviri::astro
