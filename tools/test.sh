#!/usr/bin/env bash
# Builds everything (native, the sanitizer build, the Windows builds) and runs
# every test: the native suites, the portable suites again with
# AddressSanitizer and UndefinedBehaviorSanitizer plus a short run of each
# fuzz target, then the Windows suites under Wine. Prints how long each phase
# took, then ends with the line "N passed, M failed" over all suites; exits
# non-zero when anything failed.
#
# Where this machine runs the shipped 32-bit program natively (32-bit Linux
# programs run, and the 32-bit Wine is installed), the Windows suites run
# from the 32-bit build. Elsewhere they run from the 64-bit build under
# wine64 (same sources; long double is the same 80-bit x87 type in both), and
# only the 32-bit programs are built: where 32-bit Wine runs under qemu's
# emulation (about a minute per Wine start) their smoke tests (label "smoke")
# run; else a line beside the last one says why they were skipped.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# Clones in other folders share the compiler cache: paths below the clone
# count as relative, and the folder a file is compiled in is left out of the
# key (by default it is part of it for files with debug information, as in
# the sanitizer build).
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1

phases=()
phase_start=$SECONDS
phase_end() {  # phase_end <name>: notes the time since the last phase ended
  phases+=("$1 $((SECONDS - phase_start)) s")
  phase_start=$SECONDS
}
print_phases() {
  local p
  echo "phase times:"
  for p in "${phases[@]}"; do echo "  $p"; done
  echo "  total $SECONDS s"
}

if ! "$root/tools/setup.sh"; then
  echo "setup failed" >&2
  echo "0 passed, 1 failed"
  exit 1
fi
phase_end setup

# shellcheck source=tools/machine.sh
source "$root/tools/machine.sh"
win_preset=$(redoviri_windows_build)
run_smoke=0
note=
if [ "$win_preset" = win64 ]; then
  if redoviri_win32_runs_emulated; then
    run_smoke=1
  elif ! redoviri_wine32_installed; then
    note="32-bit smoke tests skipped: wine32:i386 could not be installed"
  else
    note="32-bit smoke tests skipped: 32-bit programs cannot run here, not even emulated"
  fi
fi

build_failed=0
build() {  # build <preset> [targets...]
  local preset=$1; shift
  local targets=()
  [ $# -gt 0 ] && targets=(--target "$@")
  echo "== build $preset $*" >&2
  if ! { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" -j 2 "${targets[@]}" >&2; }; then
    echo "build $preset FAILED" >&2
    build_failed=$((build_failed + 1))
  fi
  phase_end "build $preset${*:+ ($*)}"
}
build native
build sanitize
build "$win_preset"
if [ "$win_preset" = win64 ]; then
  # The shipped programs (and what their smoke tests run): the 32-bit suites
  # cannot run here, and the 64-bit build compiles the same sources.
  build win32 Redoviri redoviri-cli
fi

result_dirs=()
run_ctest() {  # run_ctest <phase> <preset> [ctest args...]
  local phase=$1 preset=$2; shift 2
  rm -rf "build/$preset/results"
  mkdir -p "build/$preset/results"
  echo "== tests $preset $*" >&2
  ctest --preset "$preset" --output-junit "$root/build/$preset/results/ctest.xml" "$@" >&2
  result_dirs+=("build/$preset/results")
  phase_end "$phase"
}

run_ctest "tests native" native
run_ctest "tests sanitize and fuzzing" sanitize

# shellcheck source=tools/wine-env.sh
source "$root/tools/wine-env.sh"
redoviri_wine_start persistent
trap redoviri_wine_stop EXIT

run_ctest "tests Windows ($win_preset)" "$win_preset"
if [ "$run_smoke" = 1 ]; then
  run_ctest "smoke tests (win32, emulated)" win32 -L smoke
fi

print_phases
[ -n "$note" ] && echo "$note"
python3 "$root/tools/summarize_tests.py" --extra-failed "$build_failed" "${result_dirs[@]}"
