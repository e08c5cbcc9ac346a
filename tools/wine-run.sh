#!/usr/bin/env bash
# Runs one Windows executable under Wine in the project's prefix, on the
# current X display or a private Xvfb: tools/wine-run.sh prog.exe [args...]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=tools/wine-env.sh
source "$root/tools/wine-env.sh"
redoviri_wine_start
trap redoviri_wine_stop EXIT
"$(redoviri_wine_for "$1")" "$@"
