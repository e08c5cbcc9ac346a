#!/usr/bin/env bash
# tools/run.sh on a machine without a display: it starts the program on a
# virtual display, serves it to a browser through noVNC on 127.0.0.1 and
# says where; the splash shows soon after Wine starts, the page answers, the
# VNC server speaks, the program runs;
# Ctrl+C ends the program, the display and the viewers.
# Usage: e2e_headless_run.sh PROJECT_ROOT REDOVIRI_EXE PROBE_EXE
set -uo pipefail
root=$1
exe=$(realpath "$2")
probe_exe=$(realpath "$3")
work=$(mktemp -d "${TMPDIR:-/tmp}/redoviri-headless.XXXXXX")
# Two ports free on the loopback interface now (the system picks them), so
# that runs side by side, or a viewer left over, cannot take them.
read -r web_port vnc_port < <(/usr/bin/python3 -c "
import socket
socks = [socket.socket() for _ in range(2)]
for s in socks: s.bind(('127.0.0.1', 0))
print(*(s.getsockname()[1] for s in socks))")
pid=
group_ended() { ! kill -0 -- "-$1" 2>/dev/null; }
cleanup() {
  if [ -n "$pid" ]; then
    kill -INT -- "-$pid" 2>/dev/null
    for _ in $(seq 50); do group_ended "$pid" && break; sleep 0.1; done
    kill -KILL -- "-$pid" 2>/dev/null
  fi
  WINEPREFIX=$work/prefix wineserver -k >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; echo "run.sh said:" >&2; cat "$work/out" >&2; exit 1; }
listening() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }
[ -n "$web_port" ] && [ -n "$vnc_port" ] || fail "no free ports"

# A prefix of its own, copied from the project's ready one.
cp -a "${WINEPREFIX:-$root/build/wineprefix}" "$work/prefix" || fail "no Wine prefix to copy"

env -u DISPLAY WINEPREFIX="$work/prefix" REDOVIRI_EXE="$exe" REDOVIRI_WEB_PORT=$web_port REDOVIRI_VNC_PORT=$vnc_port \
  setsid "$root/tools/run.sh" >"$work/out" 2>&1 </dev/null &
pid=$!

for _ in $(seq 300); do
  grep -q "Open http://localhost:$web_port/vnc.html in a browser" "$work/out" && break
  kill -0 "$pid" 2>/dev/null || fail "run.sh ended"
  sleep 0.5
done
grep -q "Open http://localhost:$web_port/vnc.html in a browser (or a VNC viewer on localhost:$vnc_port)" "$work/out" ||
  fail "run.sh did not print the address"

# The splash within 10 s of Wine's start (run.sh says "starting" as it
# starts Wine): the goal; only a stall past twice that fails, as a loaded
# machine adds its share.
display=$(sed -n 's/^Redoviri runs on the virtual display \(:[0-9]*\) .*/\1/p' "$work/out")
[ -n "$display" ] || fail "run.sh named no display"
for _ in $(seq 600); do grep -q "^starting " "$work/out" && break; sleep 0.05; done
started=${EPOCHREALTIME/[.,]/}
splash_up() {
  local id
  for id in $(DISPLAY=$display xdotool search --onlyvisible --class redoviri.exe 2>/dev/null); do
    DISPLAY=$display xwininfo -id "$id" 2>/dev/null |
      awk '/Width:/ {w = $2} /Height:/ {h = $2} END {exit !(w == 238 && h == 178)}' && return 0
  done
  return 1
}
splash_ms=
while [ $(( ${EPOCHREALTIME/[.,]/} - started )) -lt 20000000 ]; do
  splash_up && { splash_ms=$(( (${EPOCHREALTIME/[.,]/} - started) / 1000 )); break; }
done
[ -n "$splash_ms" ] || fail "no splash within 20 s of Wine's start"
[ "$splash_ms" -le 10000 ] || echo "note: the splash came $splash_ms ms after Wine's start (goal 10 s)"

# The page, through websockify's web server.
page=$(/usr/bin/python3 -c "import urllib.request,sys; print(urllib.request.urlopen('http://127.0.0.1:$web_port/vnc.html', timeout=10).read().decode())") ||
  fail "the page does not answer"
echo "$page" | grep -qi "novnc" || fail "the page is not noVNC's"
# The VNC server greets with its protocol version.
greeting=$(/usr/bin/python3 -c "
import socket; s = socket.create_connection(('127.0.0.1', $vnc_port), 10); print(s.recv(12).decode())") ||
  fail "the VNC server does not answer"
case $greeting in RFB\ 003.*) ;; *) fail "the VNC server said '$greeting'" ;; esac
# Only on the loopback interface.
ss -ltn 2>/dev/null | awk '{print $4}' | grep -E ":($web_port|$vnc_port)\$" | grep -vqE '^(127\.0\.0\.1|\[::1\]):' &&
  fail "a viewer listens beyond 127.0.0.1"

# The program runs: its tray icon shows on the virtual display.
# Asked in the test's own prefix, so no other Wine session can answer.
tray_up() {
  DISPLAY=$display WINEPREFIX=$work/prefix WINEDEBUG=-all wine "$probe_exe" windows 2>/dev/null |
    grep -q "	1	.*	Wine System Tray"
}
# (Once seen is enough: the program takes its icon away and puts it back
# while it loads the event file, and Wine's tray window hides meanwhile.)
seen=0
for _ in $(seq 120); do
  tray_up && { seen=1; break; }
  sleep 0.5
done
[ "$seen" = 1 ] || fail "the program's tray icon did not appear on $display"
# A window manager runs on it (the program would stall without one).
(source "$root/tools/wine-env.sh" && DISPLAY=$display redoviri_wm_running) ||
  fail "no window manager runs on $display"

# Ctrl+C ends all of it.
kill -INT -- "-$pid"
for _ in $(seq 60); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.5
done
kill -0 "$pid" 2>/dev/null && fail "run.sh did not end on Ctrl+C"
listening "$web_port" && fail "the web view stayed"
listening "$vnc_port" && fail "the VNC server stayed"
DISPLAY=$display xdpyinfo >/dev/null 2>&1 && fail "the virtual display $display stayed"
pid=
echo "headless: the splash $splash_ms ms after Wine's start, the page answered on 127.0.0.1:$web_port, the VNC server on $vnc_port, the program ran, Ctrl+C ended all"
