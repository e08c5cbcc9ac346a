#!/usr/bin/env bash
# Runs Redoviri: builds the shipped 32-bit program and starts Redoviri.exe
# under Wine, setting up what is missing (packages, the Wine prefix under
# build/, a display). On a machine with a desktop ($DISPLAY) the program
# appears in its notification area; without one it runs on a virtual
# display, and this script says how to look at it and click it. The program
# ends with "Terminate Redoviri and Quit" in its tray icon's menu (or Ctrl+C
# here).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/tools/setup.sh"
# shellcheck source=tools/machine.sh
source "$root/tools/machine.sh"
preset=$(redoviri_program_build)
echo "building the program (build/$preset)..." >&2
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j 2 --target Redoviri >/dev/null
exe=$root/build/$preset/bin/Redoviri.exe

# shellcheck source=tools/wine-env.sh
source "$root/tools/wine-env.sh"
had_display=${DISPLAY:-}
redoviri_wine_start
trap redoviri_wine_stop EXIT

if [ -z "$had_display" ] || [ "$had_display" != "$DISPLAY" ]; then
  cat >&2 <<EOT
Redoviri runs on the virtual display $DISPLAY (1024 x 768, nothing on this screen).
  Look at it:        DISPLAY=$DISPLAY import -window root shot.png
  Wine shows the tray in a small window "Wine System Tray" at the top left;
  its icon cells are 20 px wide and Redoviri's icon (today's day number)
  sits near (13, 32):
  Show the calendar: DISPLAY=$DISPLAY xdotool mousemove 13 32 click 1
  The menu (Quit):   DISPLAY=$DISPLAY xdotool mousemove 13 32 click 3
  The splash shows for three seconds once the program has started.
EOT
fi
if [ "$preset" = win32 ] && redoviri_32bit_emulated; then
  echo "starting Redoviri.exe (32-bit Wine under qemu emulation: about a minute until the splash)..." >&2
else
  echo "starting Redoviri.exe..." >&2
fi
"$(redoviri_wine_for "$exe")" "$exe"
