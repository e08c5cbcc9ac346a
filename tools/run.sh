#!/usr/bin/env bash
# Runs Redoviri's main job on this machine, setting up what is missing.
# Until the tray program is built, that is this month's moon marks, printed by
# the command-line tool.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/tools/setup.sh"
cmake --preset native >/dev/null
cmake --build --preset native -j 2 --target redoviri-cli >/dev/null
exec "$root/build/native/bin/redoviri-cli" moon "$(date +%Y-%m)"
