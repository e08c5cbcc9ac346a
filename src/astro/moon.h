// Position, phase angle and illuminated fraction of the Moon.
//
// Reference: J. Meeus, Astronomical Algorithms, chapters 47 (the ELP-2000/82
// truncation of tables 47.A and 47.B) and 48 (phase angle and illuminated
// fraction). Inputs are date-time values used as dynamical time; the month
// view asks for 12:00 local time of each day it shows.
#pragma once

#include "astro/vsop.h"
#include "base/datetime.h"

namespace redoviri::astro {

// Apparent geocentric position of the Moon, nutation applied: longitude
// in [0, 360) and latitude in degrees, distance in km.
CelestialPosition MoonPosition(DateTime t);

// Signed phase angle in degrees, -180 < i < 180: the magnitude is the
// Sun-Moon-Earth angle; negative while the Moon's longitude minus the Sun's,
// reduced to [0, 360), exceeds 180 (after full moon).
long double MoonPhaseAngle(DateTime t);
// The same from positions already computed for one moment.
long double MoonPhaseAngle(const CelestialPosition& sun, const CelestialPosition& moon);

// Illuminated fraction of the Moon's disc, 0 (new) .. 1 (full).
long double MoonIllumination(DateTime t);
// The fraction for a phase angle in degrees: (cos i + 1) / 2.
long double IlluminationOfPhaseAngle(long double phaseAngle);

}  // namespace redoviri::astro
