// Constant term tables of the astronomy, defined in the generated
// astro_tables_generated.cpp (tools/gen_astro_tables.py writes it from the
// published VSOP87D and lunar tables).
#pragma once

#include <cstdint>
#include <span>

#include "astro/vsop.h"

namespace redoviri::astro::tables {

// One variable of the Earth's VSOP87D series: the table of each power of
// tau (0..5) in published order; an empty span where no table exists.
struct VSOPSeries {
  std::span<const VSOPTerm> powers[6];
};

extern const VSOPSeries kEarthLongitude;  // L, 10^-8 rad
extern const VSOPSeries kEarthLatitude;   // B, 10^-8 rad
extern const VSOPSeries kEarthRadius;     // R, 10^-8 AU

// Periodic terms of the Moon. The argument is d D + m M + mp M' + f F.
struct LunarLongitudeDistanceTerm {
  std::int8_t d, m, mp, f;
  std::int32_t sigmaR;  // distance, 0.001 km, times cos(argument)
  std::int32_t sigmaL;  // longitude, 0.000001 degree, times sin(argument)
};

struct LunarLatitudeTerm {
  std::int8_t d, m, mp, f;
  std::int32_t sigmaB;  // latitude, 0.000001 degree, times sin(argument)
};

extern const std::span<const LunarLongitudeDistanceTerm> kLunarLongitudeDistance;  // 60 rows
extern const std::span<const LunarLatitudeTerm> kLunarLatitude;                    // 60 rows

}  // namespace redoviri::astro::tables
