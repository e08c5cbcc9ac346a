#!/usr/bin/env bash
# Runs the benchmarks: Google Benchmark natively, and the plain timing
# program of the Windows build under Wine. Not part of the test command.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/tools/setup.sh"
cmake --preset native >/dev/null
cmake --build --preset native -j 2 --target bench_astro bench_events >/dev/null
echo "== native"
build/native/bin/bench_astro --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
build/native/bin/bench_events --benchmark_repetitions=3 --benchmark_report_aggregates_only=true

# shellcheck source=tools/machine.sh
source "$root/tools/machine.sh"
preset=$(redoviri_windows_build)
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j 2 --target astro_timing window_timing >/dev/null
echo "== Windows ($preset build, Wine)"
"$root/tools/wine-run.sh" "build/$preset/bin/astro_timing.exe"
"$root/tools/wine-run.sh" "build/$preset/bin/window_timing.exe"
for dpi in 96 192; do
  REDOVIRI_LOGPIXELS=$dpi "$root/tools/wine-isolated.sh" "build/$preset/bin/window_timing.exe" memory
done
