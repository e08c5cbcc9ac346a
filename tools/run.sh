#!/usr/bin/env bash
# Runs Redoviri: builds the program and starts Redoviri.exe under Wine,
# setting up what is missing (packages, the Wine prefix under
# build/, a display). On a machine with a desktop ($DISPLAY) the program
# appears in its notification area. Without one (a server, a container) it
# runs on a virtual display that a browser shows: a VNC server (x11vnc) and
# noVNC behind websockify, both on 127.0.0.1 only; this script prints the
# address. The virtual display gets a window manager (openbox), as a desktop
# has: without one Wine waits two seconds for it whenever it shows or hides
# a window it leaves to a manager, and the splash and every switch between
# the calendar and the list window stall. The program ends with "Terminate Redoviri and Quit" in its tray
# icon's menu; Ctrl+C here ends it and everything the script started.
#
# The build it starts is the one this machine runs at full speed: the shipped
# 32-bit one where 32-bit programs run natively and the 32-bit Wine is
# installed, else the 64-bit one (same sources). REDOVIRI_RUN_32BIT=1 starts
# the 32-bit one all the same (under qemu's emulation where the kernel runs
# 32-bit programs only that way: about a minute until the splash).
#
# REDOVIRI_WEB_PORT (6080) and REDOVIRI_VNC_PORT (5900) choose the ports;
# REDOVIRI_EXE runs a program built already instead of building one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/tools/setup.sh"
# shellcheck source=tools/machine.sh
source "$root/tools/machine.sh"
preset=$(redoviri_program_build)
limit=$(redoviri_win32_limit)
if [ "$preset" = win32 ] && ! redoviri_wine32_installed; then
  echo "the 32-bit program cannot run here: $limit" >&2
  exit 1
fi
if [ -n "${REDOVIRI_EXE:-}" ]; then
  # A program built already (the tests give theirs).
  exe=$REDOVIRI_EXE
  about="the program $exe"
else
  echo "building the program (build/$preset)..." >&2
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j 2 --target Redoviri >/dev/null
  exe=$root/build/$preset/bin/Redoviri.exe
  if [ "$preset" = win64 ]; then
    about="the 64-bit Redoviri.exe (build/win64), which runs at full speed here; the shipped 32-bit one would not ($limit; REDOVIRI_RUN_32BIT=1 starts it where it runs at all)"
  elif [ -n "$limit" ]; then
    about="the shipped 32-bit Redoviri.exe (build/win32), as REDOVIRI_RUN_32BIT=1 asks ($limit: about a minute until the splash)"
  else
    about="the shipped 32-bit Redoviri.exe (build/win32)"
  fi
fi

# shellcheck source=tools/wine-env.sh
source "$root/tools/wine-env.sh"
had_display=${DISPLAY:-}
viewer_pids=()
stop_all() {
  [ ${#viewer_pids[@]} -gt 0 ] && kill "${viewer_pids[@]}" 2>/dev/null
  # The program too, when Ctrl+C did not reach it.
  wineserver -k >/dev/null 2>&1
  redoviri_wine_stop
}
trap stop_all EXIT
trap 'exit 130' INT TERM
redoviri_wine_start

listening() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

if [ -z "$had_display" ] || [ "$had_display" != "$DISPLAY" ]; then
  redoviri_start_wm openbox "$root/build/openbox.log" || exit 1
  web_port=${REDOVIRI_WEB_PORT:-6080}
  vnc_port=${REDOVIRI_VNC_PORT:-5900}
  x11vnc -display "$DISPLAY" -localhost -rfbport "$vnc_port" -forever -shared -nopw -quiet \
    >"$root/build/x11vnc.log" 2>&1 &
  viewer_pids+=($!)
  websockify --web /usr/share/novnc "127.0.0.1:$web_port" "127.0.0.1:$vnc_port" \
    >"$root/build/websockify.log" 2>&1 &
  viewer_pids+=($!)
  for _ in $(seq 100); do
    listening "$vnc_port" && listening "$web_port" && break
    sleep 0.1
  done
  if listening "$web_port"; then
    echo "Open http://localhost:$web_port/vnc.html in a browser (or a VNC viewer on localhost:$vnc_port)."
  else
    echo "the browser view did not start: see build/x11vnc.log and build/websockify.log" >&2
  fi
  cat >&2 <<EOT
Redoviri runs on the virtual display $DISPLAY (1024 x 768, nothing on this screen; openbox manages its windows).
  Look at it:        DISPLAY=$DISPLAY import -window root shot.png
  Wine shows the tray in a small window "Wine System Tray" at the top left;
  its icon cells are 20 px wide and Redoviri's icon (today's day number)
  sits near (13, 32):
  Show the calendar: DISPLAY=$DISPLAY xdotool mousemove 13 32 click 1
  The menu (Quit):   DISPLAY=$DISPLAY xdotool mousemove 13 32 click 3
  The splash shows for three seconds once the program has started.
  Ctrl+C here ends the program, the display and the viewers.
EOT
fi
echo "starting $about..." >&2
"$(redoviri_wine_for "$exe")" "$exe"
