#include "base/datetime.h"

#include <gtest/gtest.h>

namespace redoviri {
namespace {

TEST(DateTime, DayNumbersMatchTheDateTimeEpoch) {
  EXPECT_EQ(DayNumber(1899, 12, 30), 0);
  EXPECT_EQ(DayNumber(2000, 1, 1), 36526);
  EXPECT_EQ(DayNumber(1899, 12, 29), -1);
  EXPECT_EQ(DayNumber(1, 1, 1), -693593);
  EXPECT_EQ(DayNumber(9999, 12, 31), 2958465);
}

TEST(DateTime, DayNumberRoundTripsOverTheWholeRange) {
  for (std::int32_t n = -693593; n <= 2958465; n += 97) {
    const CivilDate d = DateOfDayNumber(n);
    ASSERT_TRUE(IsValidDate(d)) << n;
    ASSERT_EQ(DayNumber(d), n);
  }
}

TEST(DateTime, RejectsDatesThatDoNotExist) {
  EXPECT_FALSE(IsValidDate(2003, 2, 29));
  EXPECT_TRUE(IsValidDate(2004, 2, 29));
  EXPECT_FALSE(IsValidDate(1900, 2, 29));
  EXPECT_TRUE(IsValidDate(2000, 2, 29));
  EXPECT_FALSE(IsValidDate(2003, 4, 31));
  EXPECT_FALSE(IsValidDate(2003, 13, 1));
  EXPECT_FALSE(IsValidDate(2003, 0, 1));
  EXPECT_FALSE(IsValidDate(0, 1, 1));
  EXPECT_FALSE(IsValidDate(10000, 1, 1));
  EXPECT_FALSE(DayNumber(2003, 4, 31).has_value());
}

TEST(DateTime, NoonIsLinearAcrossTheEpoch) {
  EXPECT_EQ(*NoonOf({2000, 1, 1}), 36526.5);
  EXPECT_EQ(*NoonOf({1899, 12, 29}), -0.5);
  EXPECT_EQ(*NoonOf({1899, 12, 30}) - *NoonOf({1899, 12, 29}), 1.0);
}

TEST(DateTime, SplitsDateAndTime) {
  const DateTime t = *EncodeDateTime({2026, 12, 8}, 13, 45, 30);
  EXPECT_EQ(DateOf(t), (CivilDate{2026, 12, 8}));
  EXPECT_EQ(TimeOf(t), (CivilTime{13, 45, 30}));
  EXPECT_FALSE(EncodeDateTime({2026, 12, 8}, 24, 0, 0).has_value());
}

TEST(DateTime, WeekdaysAreSundayBased) {
  EXPECT_EQ(DayOfWeek({2000, 1, 1}), 7);   // Saturday
  EXPECT_EQ(DayOfWeek({2003, 9, 1}), 2);   // Monday
  EXPECT_EQ(DayOfWeek({2026, 11, 1}), 1);  // Sunday
}

TEST(DateTime, RoundsHalvesToEven) {
  EXPECT_EQ(RoundHalfEven(0.5L), 0);
  EXPECT_EQ(RoundHalfEven(1.5L), 2);
  EXPECT_EQ(RoundHalfEven(2.5L), 2);
  EXPECT_EQ(RoundHalfEven(99.5L), 100);
  EXPECT_EQ(RoundHalfEven(0.49L), 0);
  EXPECT_EQ(RoundHalfEven(0.51L), 1);
  EXPECT_EQ(RoundHalfEven(-0.5L), 0);
  EXPECT_EQ(RoundHalfEven(-1.5L), -2);
}

}  // namespace
}  // namespace redoviri
