// Timing of the astronomy for the Windows build, where Google Benchmark is
// not available: mean time of one MoonIllumination and of one month of moon
// marks (January 2000), in wall-clock and in thread CPU time.
#include <windows.h>

#include <chrono>
#include <cstdio>

#include "astro/moon.h"
#include "astro/moonmarks.h"

namespace {

// CPU time of the calling thread, in seconds.
double ThreadSeconds() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  const auto toSeconds = [](const FILETIME& f) {
    return static_cast<double>((static_cast<unsigned long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime) * 1e-7;
  };
  return toSeconds(kernel) + toSeconds(user);
}

template <typename F>
void Time(const char* what, int repeats, F&& f) {
  const auto wall0 = std::chrono::steady_clock::now();
  const double cpu0 = ThreadSeconds();
  for (int i = 0; i < repeats; ++i) f(i);
  const double cpu = ThreadSeconds() - cpu0;
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
  std::printf("%-22s %8.1f us wall %8.1f us cpu  (%d runs)\n", what, wall / repeats * 1e6, cpu / repeats * 1e6,
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
  return 0;
}
