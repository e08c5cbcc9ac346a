#include "astro/moon.h"

#include <cmath>
#include <initializer_list>

#include <gtest/gtest.h>

#include "astro/near.h"

#include "astro/ah_math.h"
#include "astro/astro_tables.h"
#include "astro/vsop.h"

namespace redoviri::astro {
namespace {

DateTime Noon(int year, int month, int day) { return *NoonOf({year, month, day}); }

TEST(LunarTables, PublishedRows) {
  const auto& ld = tables::kLunarLongitudeDistance;
  const auto& b = tables::kLunarLatitude;
  ASSERT_EQ(ld.size(), 60u);
  ASSERT_EQ(b.size(), 60u);
  const auto expectLD = [](const tables::LunarLongitudeDistanceTerm& r, int d, int m, int mp, int f, int sr, int sl) {
    EXPECT_EQ(r.d, d);
    EXPECT_EQ(r.m, m);
    EXPECT_EQ(r.mp, mp);
    EXPECT_EQ(r.f, f);
    EXPECT_EQ(r.sigmaR, sr);
    EXPECT_EQ(r.sigmaL, sl);
  };
  expectLD(ld.front(), 0, 0, 1, 0, -20905355, 6288774);
  expectLD(ld[1], 2, 0, -1, 0, -3699111, 1274027);
  expectLD(ld.back(), 2, 0, -1, -2, 8752, 0);
  EXPECT_EQ(b.front().d, 0);
  EXPECT_EQ(b.front().m, 0);
  EXPECT_EQ(b.front().mp, 0);
  EXPECT_EQ(b.front().f, 1);
  EXPECT_EQ(b.front().sigmaB, 5128122);
  EXPECT_EQ(b.back().d, 2);
  EXPECT_EQ(b.back().m, -2);
  EXPECT_EQ(b.back().mp, 0);
  EXPECT_EQ(b.back().f, 1);
  EXPECT_EQ(b.back().sigmaB, 107);
}

TEST(MoonPosition, On1992April12) {
  const CelestialPosition moon = MoonPosition(33706.0);
  EXPECT_NEAR(moon.longitude, 133.167270L, 5e-7L);
  EXPECT_NEAR(moon.latitude, -3.229127L, 5e-7L);
  EXPECT_NEAR(moon.distance, 368409.7L, 0.05L);
  EXPECT_NEAR(MoonPhaseAngle(33706.0), 69.0756L, 5e-5L);
  EXPECT_NEAR(MoonIllumination(33706.0), 0.6786L, 5e-5L);
}

TEST(MoonPosition, AtJ2000) {
  EXPECT_NEAR(MoonPosition(36526.5).longitude, 223.314854L, 5e-7L);
  EXPECT_NEAR(MoonPhaseAngle(36526.5), -122.66L, 5e-3L);
  EXPECT_NEAR(MoonIllumination(36526.5), 0.2301L, 5e-5L);
}

TEST(MoonIllumination, NewAndFullMoonOfJanuary2000) {
  EXPECT_NEAR(MoonPhaseAngle(Noon(2000, 1, 6)), -176.59L, 5e-3L);
  EXPECT_NEAR(MoonIllumination(Noon(2000, 1, 6)), 0.000887L, 5e-7L);
  EXPECT_NEAR(MoonIllumination(Noon(2000, 1, 7)), 0.005035L, 5e-7L);
  EXPECT_NEAR(MoonPhaseAngle(Noon(2000, 1, 21)), -4.21L, 5e-3L);
  EXPECT_NEAR(MoonIllumination(Noon(2000, 1, 21)), 0.998648L, 5e-7L);
  EXPECT_NEAR(MoonIllumination(Noon(2000, 1, 20)), 0.992758L, 5e-7L);
}

TEST(MoonPhaseAngle, SignFollowsElongationAndFractionIgnoresIt) {
  // Waxing (the Moon less than 180 degrees east of the Sun): positive.
  EXPECT_GT(MoonPhaseAngle(Noon(2000, 1, 7)), 0);
  EXPECT_GT(MoonPhaseAngle(Noon(2000, 1, 20)), 0);
  EXPECT_LT(MoonPhaseAngle(Noon(2000, 1, 21)), 0);
  for (const long double i : {0.5L, 45.0L, 90.0L, 135.25L, 179.9L}) {
    EXPECT_NEAR_L(IlluminationOfPhaseAngle(i), IlluminationOfPhaseAngle(-i), 1e-18L) << i;
  }
  EXPECT_EQ(IlluminationOfPhaseAngle(0), 1);
  EXPECT_NEAR_L(IlluminationOfPhaseAngle(90), 0.5L, 1e-18L);
}

TEST(MoonPhaseAngle, RangesOverEveryDayOfSeveralYears) {
  // Days of three years in three millennia: angles in (-180, 180), fractions
  // in [0, 1], and the same result from positions computed once.
  for (const int year : {1, 2000, 9998}) {
    const DateTime first = Noon(year, 1, 1);
    for (int day = 0; day < 366; day += 3) {
      const DateTime t = first + day;
      const CelestialPosition sun = SunPosition(t);
      const CelestialPosition moon = MoonPosition(t);
      const long double i = MoonPhaseAngle(sun, moon);
      ASSERT_GT(i, -180) << year << "+" << day;
      ASSERT_LT(i, 180) << year << "+" << day;
      ASSERT_EQ(i, MoonPhaseAngle(t)) << year << "+" << day;
      const long double k = MoonIllumination(t);
      ASSERT_GE(k, 0);
      ASSERT_LE(k, 1);
      ASSERT_GE(moon.longitude, 0);
      ASSERT_LT(moon.longitude, 360);
      ASSERT_GT(moon.distance, 356000);
      ASSERT_LT(moon.distance, 407000);
      // Negative exactly while the Moon is more than 180 degrees east.
      ASSERT_EQ(i < 0, PutIn360(moon.longitude - sun.longitude) > 180) << year << "+" << day;
    }
  }
}

}  // namespace
}  // namespace redoviri::astro
