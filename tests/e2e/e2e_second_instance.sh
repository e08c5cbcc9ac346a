#!/usr/bin/env bash
# A second start of Redoviri while it runs: the second process shows the
# warning "Redoviri is already loaded..." in front of the running calendar
# (which stays on top of other windows) and with the keyboard, and ends when
# it is dismissed, without any window of its own or a tray icon; the first
# one runs on with its single tray icon, and its calendar has the keyboard
# again.
source "$(dirname "$0")/e2e_lib.sh" "$@"
e2e_start

start_redoviri
first=$REDOVIRI_PID
wait_for 120 tray_shown || fail "the first instance showed no tray icon"
# Past the splash, so that the screen holds the tray, the calendar and the
# warning only.
wait_for 60 no_redoviri_window || fail "the splash did not go"
read -r tray_x tray_y < <(tray_place)
click_tray_for_calendar "$tray_x" "$tray_y" || fail "the tray icon showed no calendar"

# The warning: a message box, titled as the calendar is.
warning_shown() { probe windows | awk -F'\t' '$2 == "#32770" && $3 == 1 && $5 == "Redoviri" {f = 1} END {exit !f}'; }

start_redoviri
second=$REDOVIRI_PID
wait_for 90 warning_shown || fail "the second instance showed no warning"

# The window manager activates the warning and stacks it above every window
# of the first instance.
warning_in_front() {
  local active top_first=-1 at_active=-1 i=0 w
  active=$(active_x_window)
  [ -n "$active" ] && [ "$(x_window_pid "$active")" = "$second" ] || return 1
  for w in $(stacking_order); do
    [ "$w" = "$active" ] && at_active=$i
    [ "$(x_window_pid "$w")" = "$first" ] && top_first=$i
    i=$((i + 1))
  done
  [ "$at_active" -gt "$top_first" ]
}
if [ "$E2E_WM" = openbox ]; then
  wait_for 10 warning_in_front ||
    fail "the warning is not the active window above the calendar (active: $(active_x_window), stacking: $(stacking_order | tr '\n' ' '))"
fi
texts=$(probe dialog Redoviri)
grep -qx 'Redoviri is already loaded\.\.\.' <<<"$texts" || fail "warning text: $texts"
grep -qx 'OK' <<<"$texts" || fail "the warning has no OK button: $texts"
[ "$(wc -l <<<"$texts")" -eq 2 ] || fail "the warning holds more than its text and OK: $texts"

# The warning is the second process's only window: nothing of the program
# (widget windows, the tray icon's window) belongs to its process.
windows=$(probe windows)
box_pid=$(awk -F'\t' '$2 == "#32770" && $3 == 1 && $5 == "Redoviri" {print $1}' <<<"$windows")
[ -n "$box_pid" ] || fail "no owner of the warning in: $windows"
program_pids=$(awk -F'\t' '$2 == "RedoviriWidget" || $2 == "TTrayIconFWindow" {print $1}' <<<"$windows" | sort -u)
[ "$(wc -l <<<"$program_pids")" -eq 1 ] || fail "windows of more than one instance: $program_pids"
[ "$program_pids" != "$box_pid" ] || fail "the warning came from the running instance"

wait_for 10 tray_shows_icons 1 "$SHOTS/warning.png" || fail "not exactly one tray icon while the warning shows ${tray_too_many:+(a look saw $tray_too_many)}"

probe press Redoviri OK || fail "could not press OK"
wait_for 60 process_ended "$second" || fail "the second instance did not end after OK"
wait "$second"
status=$?
[ "$status" -eq 0 ] || fail "the second instance ended with status $status"

# The calendar that had the keyboard before the warning has it again.
grid_has_keyboard() { focused_control | grep -q ", today, "; }
wait_for 10 grid_has_keyboard || fail "after the warning the calendar's day grid has not the keyboard: $(probe focus | tr '\n' ' ')"
keys_to_window "$(scaled 353)" "$(scaled 311)" "the calendar after the warning"

# The first instance runs on, alone in the tray.
kill -0 "$first" 2>/dev/null || fail "the first instance ended"
wait_for 10 tray_shows_icons 1 "$SHOTS/after.png" || fail "not exactly one tray icon at the end ${tray_too_many:+(a look saw $tray_too_many)}"
warning_shown && fail "the warning is still there"
echo "second instance: warned and ended; one instance, one tray icon"
