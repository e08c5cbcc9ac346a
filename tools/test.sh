#!/usr/bin/env bash
# Builds everything (native, Windows 32-bit, and a 64-bit compile check) and
# runs every test: the native suites, then the Windows suites under Wine.
# Ends with the line "N passed, M failed" over all suites.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/tools/setup.sh" || { echo "setup failed"; echo "0 passed, 1 failed"; exit 1; }

build_failed=0
for preset in native win32 win64; do
  echo "== build $preset" >&2
  if ! { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" -j 2; }; then
    echo "build $preset FAILED" >&2
    build_failed=$((build_failed + 1))
  fi
done

rm -rf build/native/results build/win32/results
mkdir -p build/native/results build/win32/results

echo "== tests native" >&2
ctest --preset native --output-junit "$root/build/native/results/ctest.xml" >&2

# shellcheck source=tools/wine-env.sh
source "$root/tools/wine-env.sh"
redoviri_wine_start
trap redoviri_wine_stop EXIT
echo "== tests win32 (Wine)" >&2
ctest --preset win32 --output-junit "$root/build/win32/results/ctest.xml" >&2

python3 "$root/tools/summarize_tests.py" --extra-failed "$build_failed" \
  build/native/results build/win32/results
