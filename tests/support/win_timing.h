// Timing of the Windows build's timing programs (Google Benchmark does not
// build for MinGW): mean wall-clock and thread CPU time of a run.
#pragma once

#include <windows.h>

#include <chrono>
#include <utility>

namespace redoviri::test {

// CPU time of the calling thread, in seconds.
inline double ThreadSeconds() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  const auto toSeconds = [](const FILETIME& f) {
    return static_cast<double>((static_cast<unsigned long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime) * 1e-7;
  };
  return toSeconds(kernel) + toSeconds(user);
}

struct RunTime {
  double wallSeconds = 0;  // per run
  double cpuSeconds = 0;
};

// Runs f(0) .. f(repeats - 1) and gives the mean time of one; `between`
// runs untimed after each run (what a user's pause lets the program do).
template <typename F, typename B>
RunTime MeasureRuns(int repeats, F&& f, B&& between) {
  double wall = 0, cpu = 0;
  for (int i = 0; i < repeats; ++i) {
    const auto wall0 = std::chrono::steady_clock::now();
    const double cpu0 = ThreadSeconds();
    f(i);
    cpu += ThreadSeconds() - cpu0;
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    between();
  }
  return {wall / repeats, cpu / repeats};
}

template <typename F>
RunTime MeasureRuns(int repeats, F&& f) {
  return MeasureRuns(repeats, std::forward<F>(f), [] {});
}

}  // namespace redoviri::test
