#include <time.h>

#include "base/clock.h"

namespace redoviri {

ClockReading SystemClock::Read() const {
  const time_t now = time(nullptr);
  struct tm local {};
  localtime_r(&now, &local);
  // A leap second (tm_sec 60) is shown as the last second of its minute.
  const int second = local.tm_sec > 59 ? 59 : local.tm_sec;
  return {{{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday}, {local.tm_hour, local.tm_min, second}},
          static_cast<std::int64_t>(now)};
}

}  // namespace redoviri
