// The local date and time of day, behind a seam so that tests can fix "now".
#pragma once

#include "base/datetime.h"

namespace redoviri {

struct LocalDateTime {
  CivilDate date;
  CivilTime time;
  friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalDateTime Now() const = 0;
};

// The system's local time. On Windows it asks the system directly rather than
// the C runtime, whose cached time zone goes stale when the user changes the
// zone while the program runs.
class SystemClock final : public Clock {
 public:
  LocalDateTime Now() const override;
};

// A clock that stands still until it is set.
class FixedClock final : public Clock {
 public:
  explicit FixedClock(const LocalDateTime& now) : now_(now) {}
  void Set(const LocalDateTime& now) { now_ = now; }
  LocalDateTime Now() const override { return now_; }

 private:
  LocalDateTime now_;
};

}  // namespace redoviri
