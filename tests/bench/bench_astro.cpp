// The month view computes one MoonIllumination per shown day (the full
// VSOP87D Earth series, the lunar series and two nutation sums); a whole
// month of moon marks should take well under 5 ms.
#include <benchmark/benchmark.h>

#include "astro/moon.h"
#include "astro/moonmarks.h"
#include "astro/vsop.h"

namespace redoviri::astro {
namespace {

void BM_SunPosition(benchmark::State& state) {
  DateTime t = 36526.5;
  for (auto _ : state) {
    benchmark::DoNotOptimize(SunPosition(t));
    t += 1;
  }
}
BENCHMARK(BM_SunPosition)->Unit(benchmark::kMicrosecond);

void BM_MoonIllumination(benchmark::State& state) {
  DateTime t = 36526.5;
  for (auto _ : state) {
    benchmark::DoNotOptimize(MoonIllumination(t));
    t += 1;
  }
}
BENCHMARK(BM_MoonIllumination)->Unit(benchmark::kMicrosecond);

// January 2000: 31 days, two marks, so 29 evaluations.
void BM_MonthOfMoonMarks(benchmark::State& state) {
  for (auto _ : state) {
    const MonthCellDays cells = MonthCells(2000, 1);
    benchmark::DoNotOptimize(MarkMoonMonth(2000, 1, cells));
  }
}
BENCHMARK(BM_MonthOfMoonMarks)->Unit(benchmark::kMillisecond);

// The marks of a month shown before, as the month view asks for them on a
// way back and forth between two months.
void BM_MoonMarksVisited(benchmark::State& state) {
  MoonMarkCache cache;
  int step = 0;
  for (auto _ : state) benchmark::DoNotOptimize(cache.Marks(2000, 1 + (step++ & 1)));
}
BENCHMARK(BM_MoonMarksVisited)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace redoviri::astro
