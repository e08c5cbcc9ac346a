#include "astro/vsop.h"

#include <array>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "astro/near.h"

#include "astro/ah_math.h"
#include "astro/astro_tables.h"

namespace redoviri::astro {
namespace {

// Number of terms a fetch yields before the all-zero term.
int CountTerms(const TVSOP& vsop, TVSOP::TermFunction term, unsigned power) {
  int n = 0;
  for (;;) {
    const VSOPTerm& t = (vsop.*term)(n, power);
    if (t.A == 0 && t.B == 0 && t.C == 0) return n;
    ++n;
  }
}

void ExpectTerm(const VSOPTerm& got, long double a, long double b, long double c, const char* what) {
  EXPECT_EQ(got.A, a) << what;
  EXPECT_EQ(got.B, b) << what;
  EXPECT_EQ(got.C, c) << what;
}

TEST(TVSOPEarth, TermCountsPerPower) {
  const TVSOPEarth earth;
  const std::array<int, 6> wantL{559, 341, 142, 22, 11, 5};
  const std::array<int, 6> wantB{184, 99, 49, 11, 5, 0};
  const std::array<int, 6> wantR{526, 292, 139, 27, 10, 3};
  int total = 0;
  for (unsigned p = 0; p < 6; ++p) {
    EXPECT_EQ(CountTerms(earth, &TVSOP::LongitudeTerm, p), wantL[p]) << "L" << p;
    EXPECT_EQ(CountTerms(earth, &TVSOP::LatitudeTerm, p), wantB[p]) << "B" << p;
    EXPECT_EQ(CountTerms(earth, &TVSOP::RadiusTerm, p), wantR[p]) << "R" << p;
    total += wantL[p] + wantB[p] + wantR[p];
    EXPECT_EQ(tables::kEarthLongitude.powers[p].size(), static_cast<std::size_t>(wantL[p]));
  }
  EXPECT_EQ(total, 2425);
}

TEST(TVSOPEarth, PublishedRowsInFileOrder) {
  const TVSOPEarth earth;
  ExpectTerm(earth.LongitudeTerm(0, 0), 175347045.673L, 0, 0, "L0 first");
  ExpectTerm(earth.LongitudeTerm(1, 0), 3341656.456L, 4.66925680417L, 6283.0758499914L, "L0 second");
  ExpectTerm(earth.LongitudeTerm(558, 0), 0.049L, 2.44790934886L, 13613.804277336L, "L0 last");
  ExpectTerm(earth.LongitudeTerm(0, 1), 628331966747.491L, 0, 0, "L1 first");
  ExpectTerm(earth.RadiusTerm(0, 0), 100013988.799L, 0, 0, "R0 first");
  ExpectTerm(earth.LatitudeTerm(0, 0), 279.62L, 3.19870156017L, 84334.66158130829L, "B0 first");
}

TEST(TVSOPEarth, OutOfRangeFetchesGiveTheZeroTerm) {
  const TVSOPEarth earth;
  ExpectTerm(earth.LongitudeTerm(559, 0), 0, 0, 0, "past the end");
  ExpectTerm(earth.LongitudeTerm(-1, 0), 0, 0, 0, "negative index");
  ExpectTerm(earth.RadiusTerm(0, 6), 0, 0, 0, "power 6");
  ExpectTerm(earth.LatitudeTerm(0, 5), 0, 0, 0, "latitude has no tau^5 table");
}

// A series whose tables the test chooses; one table serves every variable.
class FakeVSOP final : public TVSOP {
 public:
  std::array<std::vector<VSOPTerm>, 6> tables;
  const VSOPTerm& LongitudeTerm(std::int32_t index, unsigned power) const override { return Fetch(index, power); }
  const VSOPTerm& LatitudeTerm(std::int32_t index, unsigned power) const override { return Fetch(index, power); }
  const VSOPTerm& RadiusTerm(std::int32_t index, unsigned power) const override { return Fetch(index, power); }

 private:
  const VSOPTerm& Fetch(std::int32_t index, unsigned power) const {
    if (power >= tables.size() || index < 0 || static_cast<std::size_t>(index) >= tables[power].size())
      return kNoVSOPTerm;
    return tables[power][static_cast<std::size_t>(index)];
  }
};

TEST(TVSOP, MillenniaFromJ2000) {
  FakeVSOP v;
  v.SetDate(36526.5);
  EXPECT_EQ(v.Millennia(), 0);
  v.SetDate(36526.5 + 365250);
  EXPECT_EQ(v.Millennia(), 1);
  v.SetDate(36526.5 - 2 * 365250);
  EXPECT_EQ(v.Millennia(), -2);
}

TEST(TVSOP, SumSeriesIsAPolynomialInTauScaledBy1e8) {
  FakeVSOP v;
  for (unsigned p = 0; p < 6; ++p) v.tables[p] = {{static_cast<long double>(p + 1), 0, 0}};
  v.SetDate(36526.5 + 2 * 365250);  // tau = 2
  // 1 + 2*2 + 3*4 + 4*8 + 5*16 + 6*32 = 321
  EXPECT_NEAR_L(v.Longitude(), 321e-8L, 1e-24L);

  // Each term is A cos(B + C tau): cos(pi/3 + (pi/3) * 2) = -1.
  v.tables = {};
  v.tables[0] = {{100, kPi / 3, kPi / 3}, {50, 0, 0}};
  EXPECT_NEAR_L(v.Radius(), -50e-8L, 1e-24L);

  // A power without a table adds nothing.
  v.tables = {};
  v.tables[1] = {{7, 0, 0}};
  EXPECT_NEAR_L(v.Latitude(), 14e-8L, 1e-24L);
}

TEST(TVSOP, SumSeriesStopsAfterTheFirstZeroContribution) {
  FakeVSOP v;
  v.SetDate(36526.5);
  v.tables[0] = {{3, 0, 0}, {0, 1, 1}, {1000, 0, 0}};
  EXPECT_NEAR_L(v.Longitude(), 3e-8L, 1e-24L);
}

TEST(EarthPosition, AtJ2000) {
  const HeliocentricPosition e = EarthPosition(36526.5);
  EXPECT_NEAR(e.longitude, 100.377819L, 5e-7L);
  EXPECT_NEAR(e.latitude, -0.000240L, 5e-7L);
  EXPECT_NEAR(e.radius, 0.9833277L, 5e-8L);
}

TEST(Nutation, InLongitudeAtJ2000) { EXPECT_NEAR(NutationInLongitude(36526.5), -0.0038673L, 5e-8L); }

TEST(Nutation, ApplyAddsAndReduces) {
  const long double dpsi = NutationInLongitude(36526.5);
  CelestialPosition p{359.999L, 1.5L, 1000};
  ApplyNutation(p, 36526.5);
  EXPECT_EQ(p.longitude, PutIn360(359.999L + dpsi));
  EXPECT_NEAR(p.longitude, 359.999L - 0.0038673L, 5e-8L);
  EXPECT_EQ(p.latitude, 1.5L);
  EXPECT_EQ(p.distance, 1000);
  p.longitude = 0.001L;
  ApplyNutation(p, 36526.5);
  EXPECT_NEAR(p.longitude, 360.001L - 0.0038673L, 5e-8L);
}

TEST(SunPosition, AtJ2000) {
  const CelestialPosition sun = SunPosition(36526.5);
  EXPECT_NEAR(sun.longitude, 280.368138L, 5e-7L);
  EXPECT_NEAR(sun.latitude, 0.000253L, 5e-7L);
  EXPECT_NEAR(sun.distance, 147103726.0L, 0.5L);
}

TEST(SunPosition, On1992April12) {
  const CelestialPosition sun = SunPosition(33706.0);
  EXPECT_NEAR(sun.longitude, 22.339748L, 5e-7L);
  EXPECT_NEAR(sun.distance, 149971519.0L, 0.5L);
}

TEST(SunPosition, LongitudeInRangeAndDistanceOverAYear) {
  for (int day = 0; day < 366; ++day) {
    const CelestialPosition sun = SunPosition(36526.5 + day);
    ASSERT_GE(sun.longitude, 0) << day;
    ASSERT_LT(sun.longitude, 360) << day;
    ASSERT_GT(sun.distance, 147.0e6L) << day;
    ASSERT_LT(sun.distance, 152.2e6L) << day;
  }
  // Far from J2000 the longitude stays reduced too.
  for (const CivilDate d : {CivilDate{1, 1, 1}, CivilDate{1000, 6, 15}, CivilDate{9999, 12, 31}}) {
    const CelestialPosition sun = SunPosition(*NoonOf(d));
    EXPECT_GE(sun.longitude, 0) << d.year;
    EXPECT_LT(sun.longitude, 360) << d.year;
  }
}

}  // namespace
}  // namespace redoviri::astro
