#include "astro/ah_math.h"

#include <cmath>
#include <initializer_list>

#include <gtest/gtest.h>

#include "astro/near.h"

namespace redoviri::astro {
namespace {

TEST(PutIn360, ReducesWithHalvesToEvenQuotient) {
  struct Case {
    long double in, want;
  };
  for (const Case c : {Case{360, 0}, Case{540, 180}, Case{-540, 180}, Case{180, 180}, Case{-180, 180},
                       Case{0, 0}, Case{-90, 270}, Case{720.25L, 0.25L}, Case{-0.25L, 359.75L}, Case{359.5L, 359.5L},
                       Case{1080, 0}, Case{-1e6L, 80}}) {
    EXPECT_EQ(PutIn360(c.in), c.want) << "PutIn360(" << c.in << ")";
  }
}

TEST(PutIn360, StaysInRangeForLargeAngles) {
  for (long double x = -4.0e7L; x <= 4.0e7L; x += 12345.678L) {
    const long double r = PutIn360(x);
    ASSERT_GE(r, 0) << x;
    ASSERT_LT(r, 360) << x;
    ASSERT_NEAR(std::remainder(r - x, 360.0L), 0, 1e-9L) << x;
  }
  // 360 times the quotient is formed without a 32-bit overflow.
  EXPECT_EQ(PutIn360(3.0e9L + 10), 130);
  EXPECT_EQ(PutIn360(-3.0e9L - 10), 230);
}

TEST(SinDCosD, ReduceBeforeConverting) {
  EXPECT_EQ(SinD(-90), -1);
  EXPECT_EQ(CosD(720), 1);
  EXPECT_EQ(SinD(390), SinD(30));
  EXPECT_EQ(CosD(-300), CosD(60));
  EXPECT_NEAR_L(SinD(30), 0.5L, 1e-18L);
  EXPECT_NEAR_L(CosD(60), 0.5L, 1e-18L);
  EXPECT_NEAR_L(SinD(180), 0, 1e-18L);
}

TEST(AngleConversion, DegreesAndRadians) {
  EXPECT_NEAR_L(DegToRad(180), kPi, 1e-18L);
  EXPECT_NEAR_L(DegToRad(-45), -kPi / 4, 1e-18L);
  EXPECT_NEAR_L(RadToDeg(kPi), 180, 1e-16L);
  EXPECT_NEAR_L(RadToDeg(1), 57.29577951308232087680L, 1e-16L);
  EXPECT_NEAR_L(kPi * kOneOverPi, 1, 1e-18L);
}

TEST(Trigonometry, ExtendedSineAndCosineAreAccurate) {
  // The FPU's sine and cosine against the library's, over the angles the
  // series feed them (up to a few 10^5 radians).
  for (long double x = -20; x <= 20; x += 0.0123L) {
    ASSERT_NEAR_L(Sin(x), std::sin(x), 1e-18L) << x;
    ASSERT_NEAR_L(Cos(x), std::cos(x), 1e-18L) << x;
  }
  for (long double x : {1.0e5L + 0.3L, 5.0e5L - 0.7L, -2.5e5L}) {
    EXPECT_NEAR_L(Sin(x), std::sin(x), 1e-14L) << x;
    EXPECT_NEAR_L(Cos(x), std::cos(x), 1e-14L) << x;
  }
  EXPECT_NEAR_L(Tan(kPi / 4), 1, 1e-18L);
  EXPECT_NEAR_L(Tan(-kPi / 3), -std::sqrt(3.0L), 1e-17L);
}

TEST(Trigonometry, ArcSinAndArcCos) {
  EXPECT_NEAR_L(ArcSin(0.5L), kPi / 6, 1e-18L);
  EXPECT_NEAR_L(ArcSin(-0.5L), -kPi / 6, 1e-18L);
  EXPECT_NEAR_L(ArcCos(0.5L), kPi / 3, 1e-18L);
  EXPECT_NEAR_L(ArcCos(-0.5L), 2 * kPi / 3, 1e-18L);
  EXPECT_EQ(ArcSin(0), 0);
  EXPECT_NEAR_L(ArcCos(0), kPi / 2, 1e-18L);
  // The ends of the domain give the limits instead of failing.
  EXPECT_NEAR_L(ArcSin(1), kPi / 2, 1e-18L);
  EXPECT_NEAR_L(ArcSin(-1), -kPi / 2, 1e-18L);
  EXPECT_NEAR_L(ArcCos(1), 0, 1e-18L);
  EXPECT_NEAR_L(ArcCos(-1), kPi, 1e-18L);
}

TEST(TimeScales, JulianDay) {
  EXPECT_EQ(J2000Day, 36526);
  EXPECT_EQ(J2000Day, *DayNumber(2000, 1, 1));
  EXPECT_EQ(JulianDayOffset, 2415018.5L);
  EXPECT_EQ(JulianDay(36526.5), 2451545.0L);
  EXPECT_EQ(JulianDay(0), 2415018.5L);
  // The day values are linear across 1899-12-30, down to the year 1.
  EXPECT_EQ(JulianDay(*DayNumber(1, 1, 1)), 1721425.5L);
  EXPECT_EQ(JulianDay(*DayNumber(9999, 12, 31) + 0.75), 5373484.25L);
  EXPECT_EQ(JulianDay(*NoonOf({1899, 12, 29})), 2415018.0L);
}

}  // namespace
}  // namespace redoviri::astro
