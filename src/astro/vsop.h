// Apparent position of the Sun from the VSOP87D series of the Earth.
//
// Reference: P. Bretagnon and G. Francou, VSOP87 (1988), version D
// (heliocentric spherical coordinates, ecliptic and equinox of date), all
// 2425 terms of the Earth; FK5 correction, aberration and the IAU 1980
// nutation in longitude as in J. Meeus, Astronomical Algorithms, chapters
// 22, 25 and 32. Inputs are date-time values used as dynamical time; valid
// for the years 1..9999 of the calendar (the series lose accuracy far from
// J2000, but stay smooth).
#pragma once

#include <cstdint>

#include "base/datetime.h"

namespace redoviri::astro {

// A geocentric ecliptic position.
struct CelestialPosition {
  long double longitude = 0;  // degrees, [0, 360) once nutation is applied
  long double latitude = 0;   // degrees
  long double distance = 0;   // km from the Earth's centre
};

// One series term, contributing A cos(B + C tau). A is the published
// amplitude times 10^8 (units of 10^-8 rad or 10^-8 AU), B in radians, C in
// radians per Julian millennium. The all-zero term ends a table.
struct VSOPTerm {
  long double A = 0;
  long double B = 0;
  long double C = 0;
};

// The term that ends every table.
inline constexpr VSOPTerm kNoVSOPTerm{};

// Evaluator of one body's VSOP87 series for one date.
class TVSOP {
 public:
  // Fetches term `index` (from 0) of the series for tau^power; the all-zero
  // term when either is out of range. The terms are constant data, so a
  // fetch hands out a reference rather than a copy.
  using TermFunction = const VSOPTerm& (TVSOP::*)(std::int32_t index, unsigned power) const;

  virtual ~TVSOP() = default;

  virtual const VSOPTerm& LongitudeTerm(std::int32_t index, unsigned power) const = 0;
  virtual const VSOPTerm& LatitudeTerm(std::int32_t index, unsigned power) const = 0;
  virtual const VSOPTerm& RadiusTerm(std::int32_t index, unsigned power) const = 0;

  void SetDate(DateTime date) { date_ = date; }
  DateTime Date() const { return date_; }

  // Julian millennia from J2000.0: (date - J2000Day - 0.5) / 365250.
  long double Millennia() const;
  // Sum over powers 0..5 of tau^power times the whole table of that power,
  // times 10^-8. Each table is summed in its stored order up to and
  // including the first term that contributes exactly zero.
  long double SumSeries(TermFunction term) const;

  long double Longitude() const;  // radians, not reduced
  long double Latitude() const;   // radians
  long double Radius() const;     // AU

  // Converts heliocentric longitude and latitude (radians) from the VSOP
  // dynamical frame to FK5, in place.
  void ToFK5(long double& longitude, long double& latitude) const;

 private:
  DateTime date_ = 0;
};

// The Earth: the complete VSOP87D tables (term counts L 1080, B 348, R 997).
class TVSOPEarth final : public TVSOP {
 public:
  const VSOPTerm& LongitudeTerm(std::int32_t index, unsigned power) const override;
  const VSOPTerm& LatitudeTerm(std::int32_t index, unsigned power) const override;
  const VSOPTerm& RadiusTerm(std::int32_t index, unsigned power) const override;
};

// The Earth's heliocentric position, FK5.
struct HeliocentricPosition {
  long double longitude = 0;  // degrees, [0, 360)
  long double latitude = 0;   // degrees
  long double radius = 0;     // AU
};

HeliocentricPosition EarthPosition(DateTime t);

// Nutation in longitude, degrees: the 31 largest terms of the IAU 1980
// theory (Meeus, table 22.A).
long double NutationInLongitude(DateTime t);

// Adds the nutation in longitude to a position of date t and reduces the
// longitude to [0, 360).
void ApplyNutation(CelestialPosition& position, DateTime t);

// Apparent geocentric position of the Sun: longitude and latitude in
// degrees, distance in km.
CelestialPosition SunPosition(DateTime t);

}  // namespace redoviri::astro
