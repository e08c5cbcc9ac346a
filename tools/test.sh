#!/usr/bin/env bash
# Builds everything (native, the sanitizer build, Windows 32-bit, Windows
# 64-bit) and runs every test: the native suites, the portable suites again
# with AddressSanitizer and UndefinedBehaviorSanitizer plus a short run of
# each fuzz target, then the Windows suites under Wine. Ends with the line
# "N passed, M failed" over all suites; exits non-zero when anything failed.
#
# Where this machine runs 32-bit Linux programs natively, the Windows suites
# run from the 32-bit build (the shipped one). Where it cannot (some kernels
# and sandboxes; tools/setup.sh then registers qemu's user-mode emulator, at
# about a minute per Wine start), they run from the 64-bit build under
# wine64, and the 32-bit build is checked with its smoke tests (label
# "smoke") only. long double is the same 80-bit x87 type in both builds.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# Clones in other folders share the compiler cache.
export CCACHE_BASEDIR="$root"

if ! "$root/tools/setup.sh"; then
  echo "setup failed" >&2
  echo "0 passed, 1 failed"
  exit 1
fi

# shellcheck source=tools/machine.sh
source "$root/tools/machine.sh"
win_preset=$(redoviri_windows_build)
run_smoke=0
if redoviri_32bit_emulated; then
  run_smoke=1
elif [ "$win_preset" = win64 ]; then
  echo "note: 32-bit programs cannot run here, not even emulated: the 32-bit build is compiled, not run" >&2
fi

build_failed=0
for preset in native sanitize win32 win64; do
  targets=()
  if [ "$preset" = win32 ] && [ "$win_preset" = win64 ]; then
    # Only the shipped programs: the 32-bit suites cannot run here, and the
    # 64-bit build compiles the same sources.
    targets=(--target Redoviri redoviri-cli)
  fi
  echo "== build $preset" >&2
  if ! { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" -j 2 "${targets[@]}" >&2; }; then
    echo "build $preset FAILED" >&2
    build_failed=$((build_failed + 1))
  fi
done

result_dirs=()
run_ctest() {  # run_ctest <preset> [ctest args...]
  local preset=$1; shift
  rm -rf "build/$preset/results"
  mkdir -p "build/$preset/results"
  echo "== tests $preset $*" >&2
  ctest --preset "$preset" --output-junit "$root/build/$preset/results/ctest.xml" "$@" >&2
  result_dirs+=("build/$preset/results")
}

run_ctest native
run_ctest sanitize

# shellcheck source=tools/wine-env.sh
source "$root/tools/wine-env.sh"
redoviri_wine_start persistent
trap redoviri_wine_stop EXIT

run_ctest "$win_preset"
if [ "$run_smoke" = 1 ]; then
  run_ctest win32 -L smoke
fi

python3 "$root/tools/summarize_tests.py" --extra-failed "$build_failed" "${result_dirs[@]}"
