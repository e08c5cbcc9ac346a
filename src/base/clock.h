// The local date and time of day, behind a seam so that tests can fix "now".
#pragma once

#include <cstdint>

#include "base/datetime.h"

namespace redoviri {

struct LocalDateTime {
  CivilDate date;
  CivilTime time;
  friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

// One look at the clock: the local date and time, and the same moment in
// seconds of universal time (since 1970-01-01). The local time jumps with
// daylight saving and the time zone; the seconds only when the clock is set.
struct ClockReading {
  LocalDateTime local;
  std::int64_t utcSeconds = 0;
  friend bool operator==(const ClockReading&, const ClockReading&) = default;
};

// Seconds since 1970-01-01 00:00 of a date and time read as universal
// time; the difference of two of them is the local time between them.
std::int64_t SecondsSince1970(const LocalDateTime& t);

class Clock {
 public:
  virtual ~Clock() = default;
  virtual ClockReading Read() const = 0;
  LocalDateTime Now() const { return Read().local; }
};

// The system's local time. On Windows it asks the system directly rather than
// the C runtime, whose cached time zone goes stale when the user changes the
// zone while the program runs.
class SystemClock final : public Clock {
 public:
  ClockReading Read() const override;
};

// A clock that stands still until it is set. Without its universal
// seconds it counts the local time as universal (a zone at UTC).
class FixedClock final : public Clock {
 public:
  explicit FixedClock(const LocalDateTime& now) : now_(WithUtcOf(now)) {}
  explicit FixedClock(const ClockReading& now) : now_(now) {}
  void Set(const LocalDateTime& now) { now_ = WithUtcOf(now); }
  void Set(const ClockReading& now) { now_ = now; }
  ClockReading Read() const override { return now_; }

  // The reading of a local time in a zone at UTC.
  static ClockReading WithUtcOf(const LocalDateTime& local);

 private:
  ClockReading now_;
};

}  // namespace redoviri
