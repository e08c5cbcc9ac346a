#!/usr/bin/env bash
# Runs one Windows test program under Wine on a display and in a prefix of
# its own: tools/wine-isolated.sh prog.exe [args...]
#
# Windows tests that show windows share nothing this way (pointer, focus,
# the foreground window, the locale settings Wine writes into the prefix),
# so ctest can run several at once. The display has a window manager as a
# desktop has (openbox; REDOVIRI_WM=none for a bare display). The prefix is
# a copy of the project's ready one (prepared first when missing); display,
# window manager, copy and its wineserver go when the program ends. Exits
# with the program's status. REDOVIRI_LOGPIXELS=144 sets the copy's screen
# resolution (the DPI a display scale of 150 % gives) before the program
# starts.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=tools/wine-env.sh
source "$root/tools/wine-env.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/redoviri-wine.XXXXXX")
xvfb_pid=
cleanup() {
  if [ -d "$work/prefix" ]; then
    WINEPREFIX=$work/prefix wineserver -k >/dev/null 2>&1
    WINEPREFIX=$work/prefix wineserver -w >/dev/null 2>&1
  fi
  redoviri_stop_wm
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# The project's prefix, prepared once even when several start together.
(
  flock 9
  if [ ! -f "$WINEPREFIX/.redoviri-ready" ]; then
    DISPLAY= redoviri_wine_start && redoviri_wine_stop
  fi
) 9>"$root/build/.wineprefix.lock"
[ -f "$WINEPREFIX/.redoviri-ready" ] || { echo "wine-isolated: no Wine prefix" >&2; exit 1; }

redoviri_start_display || { echo "wine-isolated: Xvfb did not start" >&2; exit 1; }
xvfb_pid=$REDOVIRI_XVFB_PID
redoviri_start_wm "${REDOVIRI_WM:-openbox}" || { echo "wine-isolated: no window manager" >&2; exit 1; }

cp -a "$WINEPREFIX" "$work/prefix" || { echo "wine-isolated: cannot copy $WINEPREFIX" >&2; exit 1; }
export WINEPREFIX=$work/prefix
if [ -n "${REDOVIRI_LOGPIXELS:-}" ]; then
  "$(redoviri_wine_for "$1")" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
    /d "$REDOVIRI_LOGPIXELS" /f >/dev/null 2>&1 || { echo "wine-isolated: cannot set LogPixels" >&2; exit 1; }
fi

# A test program's report (GoogleTest's --gtest_output=xml:Z:/path), removed
# first so that only this run's report counts, and its end mark (written by
# the test programs' main once their whole teardown ran).
report=
for arg in "$@"; do
  case $arg in --gtest_output=xml:Z:*) report=${arg#--gtest_output=xml:Z:} ;; esac
done
[ -n "$report" ] && rm -f "$report" "${report%.xml}.killed"
export REDOVIRI_END_MARK="Z:$work/end-mark"

"$(redoviri_wine_for "$1")" "$@"
status=$?
# Now and then a program is killed (SIGKILL, status 137) on a loaded machine
# after it ended. It counts as passed only when it ended cleanly: its end
# mark says main returned 0 and the teardown after it ran, and its report
# shows no failure. The run is noted beside the report for the summary.
if [ "$status" -eq 137 ] && [ -n "$report" ]; then
  if [ "$(cat "$work/end-mark" 2>/dev/null)" = "ended 0" ] && [ -f "$report" ] &&
     grep -q '<testsuites [^>]*failures="0"' "$report" &&
     grep -q '<testsuites [^>]*errors="0"' "$report"; then
    echo "wine-isolated: $(basename "$1") was killed after its clean end (its end mark and report); counted as passed" >&2
    : >"${report%.xml}.killed"
    status=0
  else
    echo "wine-isolated: $(basename "$1") was killed before its teardown ended (no end mark)" >&2
  fi
fi
exit "$status"
