// Timing of the astronomy for the Windows build, where Google Benchmark is
// not available: mean time of one MoonIllumination and of one month of moon
// marks (January 2000), and of the marks of a month visited before, in
// wall-clock and in thread CPU time.
#include <windows.h>

#include <cstdio>

#include "astro/moon.h"
#include "astro/moonmarks.h"
#include "support/win_timing.h"

namespace {

template <typename F>
void Time(const char* what, int repeats, F&& f) {
  const redoviri::test::RunTime t = redoviri::test::MeasureRuns(repeats, f);
  std::printf("%-22s %8.1f us wall %8.1f us cpu  (%d runs)\n", what, t.wallSeconds * 1e6, t.cpuSeconds * 1e6,
              repeats);
}

}  // namespace

int main() {
  using namespace redoviri::astro;
  volatile long double sink = 0;
  Time("MoonIllumination", 4000, [&](int i) { sink = sink + MoonIllumination(36526.5 + i); });
  Time("month of moon marks", 200, [&](int) {
    const MonthCellDays cells = MonthCells(2000, 1);
    sink = sink + static_cast<int>(MarkMoonMonth(2000, 1, cells)[35]);
  });
  MoonMarkCache cache;
  Time("visited month's marks", 20000, [&](int i) { sink = sink + static_cast<int>(cache.Marks(2000, 1 + i % 2)[35]); });
  return 0;
}
