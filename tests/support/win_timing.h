// Timing of the Windows build's timing programs (Google Benchmark does not
// build for MinGW): mean wall-clock and thread CPU time of a run.
#pragma once

#include <windows.h>

#include <chrono>

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

// Runs f(0) .. f(repeats - 1) and gives the mean time of one.
template <typename F>
RunTime MeasureRuns(int repeats, F&& f) {
  const auto wall0 = std::chrono::steady_clock::now();
  const double cpu0 = ThreadSeconds();
  for (int i = 0; i < repeats; ++i) f(i);
  const double cpu = ThreadSeconds() - cpu0;
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
  return {wall / repeats, cpu / repeats};
}

}  // namespace redoviri::test
