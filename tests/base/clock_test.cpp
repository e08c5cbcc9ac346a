#include "base/clock.h"

#include <chrono>
#include <cstdlib>

#include <gtest/gtest.h>

namespace redoviri {
namespace {

TEST(SystemClock, GivesTodaysLocalDate) {
  namespace chr = std::chrono;
  const LocalDateTime now = SystemClock().Now();
  const chr::year_month_day utc{chr::floor<chr::days>(chr::system_clock::now())};
  ASSERT_TRUE(IsValidDate(now.date));
  const auto utcDay = DayNumber(static_cast<int>(utc.year()), static_cast<int>(static_cast<unsigned>(utc.month())),
                                static_cast<int>(static_cast<unsigned>(utc.day())));
  // Local time is at most a day away from UTC.
  EXPECT_LE(std::abs(*DayNumber(now.date) - *utcDay), 1);
  EXPECT_GE(now.time.hour, 0);
  EXPECT_LE(now.time.hour, 23);
  EXPECT_LE(now.time.minute, 59);
  EXPECT_LE(now.time.second, 59);
}

TEST(FixedClock, StandsStillUntilSet) {
  FixedClock clock({{2026, 12, 8}, {13, 5, 9}});
  EXPECT_EQ(clock.Now(), (LocalDateTime{{2026, 12, 8}, {13, 5, 9}}));
  clock.Set({{2026, 12, 9}, {0, 0, 0}});
  const Clock& seam = clock;
  EXPECT_EQ(seam.Now().date, (CivilDate{2026, 12, 9}));
}

}  // namespace
}  // namespace redoviri
