#include "base/clock.h"

namespace redoviri {
namespace {

// 1970-01-01 as days since 1899-12-30.
constexpr std::int64_t kUnixEpochDayNumber = 25569;

}  // namespace

std::int64_t SecondsSince1970(const LocalDateTime& t) {
  const std::int64_t day = DayNumber(t.date).value_or(0);
  return (day - kUnixEpochDayNumber) * 86400 + t.time.hour * 3600 + t.time.minute * 60 + t.time.second;
}

ClockReading FixedClock::WithUtcOf(const LocalDateTime& local) { return {local, SecondsSince1970(local)}; }

}  // namespace redoviri
