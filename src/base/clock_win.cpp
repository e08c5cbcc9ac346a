#include <windows.h>

#include "base/clock.h"

namespace redoviri {

LocalDateTime SystemClock::Now() const {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return {{st.wYear, st.wMonth, st.wDay}, {st.wHour, st.wMinute, st.wSecond}};
}

}  // namespace redoviri
