// Delta T = TT - UT, the difference between dynamical time and universal time.
//
// Reference: F. Espenak and J. Meeus, Five Millennium Canon of Solar Eclipses
// (NASA/TP-2006-214141), the polynomial expressions for Delta T, with the
// correction for the Moon's secular acceleration of the ELP-2000/82 theory
// (-25.858"/cy^2 instead of the -26"/cy^2 the Delta T values assume), which
// the Moon of this program follows.
#pragma once

#include "base/datetime.h"

namespace redoviri::astro {

// Decimal year of a date-time value: 2000.0 at 2000-01-01 00:00, advancing
// by one every 365.2425 days (the mean Gregorian year). Continuous, so the
// root-finding of the moon phases sees a smooth Delta T.
long double DecimalYear(DateTime t);

// The published polynomial for decimal year y, in seconds, piece by piece:
// before -500, -500..500, 500..1600, 1600..1700, 1700..1800, 1800..1860,
// 1860..1900, 1900..1920, 1920..1941, 1941..1961, 1961..1986, 1986..2005,
// 2005..2050, 2050..2150, after 2150 (each piece holds from its first year
// up to, not including, the next piece's).
long double DeltaTPolynomial(long double y);

// The correction for the lunar secular acceleration, seconds:
// -0.000012932 (y - 1955)^2, outside 1955..2005; 0 within (the Delta T of
// those years was measured independently of any lunar theory).
long double LunarAccelerationCorrection(long double y);

// Delta T in seconds: DeltaTPolynomial(y) + LunarAccelerationCorrection(y).
long double DeltaT(long double y);

// Universal time of an instant given in dynamical time (TT):
// tt - DeltaT(DecimalYear(tt)) / 86400.
DateTime UniversalOfDynamical(DateTime tt);

}  // namespace redoviri::astro
