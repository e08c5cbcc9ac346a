#include <windows.h>

#include "base/clock.h"

namespace redoviri {
namespace {

// 100-nanosecond intervals between 1601-01-01 and 1970-01-01.
constexpr std::int64_t kFileTimeOf1970 = 116444736000000000LL;

}  // namespace

ClockReading SystemClock::Read() const {
  // One reading of the system time, converted to local time, so the two
  // halves are the same moment.
  FILETIME utc;
  GetSystemTimeAsFileTime(&utc);
  SYSTEMTIME utcTime, st;
  if (!FileTimeToSystemTime(&utc, &utcTime) || !SystemTimeToTzSpecificLocalTime(nullptr, &utcTime, &st)) {
    GetLocalTime(&st);
  }
  const std::int64_t ticks =
      (static_cast<std::int64_t>(utc.dwHighDateTime) << 32) | static_cast<std::int64_t>(utc.dwLowDateTime);
  return {{{st.wYear, st.wMonth, st.wDay}, {st.wHour, st.wMinute, st.wSecond}},
          (ticks - kFileTimeOf1970) / 10000000};
}

}  // namespace redoviri
