#!/usr/bin/env bash
# Another program changes the event file while the program runs, with the
# real clock: bash e2e_outside_changes.sh REDOVIRI_EXE PROBE_EXE CLI_EXE
# The file holds "Cancelled", due about two minutes after the start. While
# the calendar shows today, the tool adds "Call Bob" at the same minute:
# within 15 s the day grid counts two events. The calendar hides; the tool
# adds "Party" and deletes "Cancelled": within 15 s the tray's tooltip
# counts the work and the feest event (read while the pointer rests on the
# icon). At the minute the notice window lists Call Bob and Party, and
# never Cancelled.
CLI_EXE=$3
source "$(dirname "$0")/e2e_lib.sh" "$1" "$2"
e2e_start

EVENT_DIR="$WINEPREFIX/drive_c/Program Files/Redoviri by DUZOVU"
mkdir -p "$EVENT_DIR"
FILE_WIN='C:\Program Files\Redoviri by DUZOVU\Redoviri.ini'
# The first whole minute at least 100 s away: the start, the tray click and
# the tool's four runs are over by then.
due_s=$(( ( $(date +%s) + 100 + 59 ) / 60 * 60 ))
due_hm=$(date -u -d "@$due_s" +%H:%M)
due_date=$(date -u -d "@$due_s" +%Y-%m-%d)
printf 'Redoviri by DUZOVU event file\r\n%s;%s;6;N;N;Y;N;000;%-30s;%-50s\r\n' \
  "$(date -u -d "@$due_s" +%m%d%Y)" "$due_hm" "Cancelled" "" >"$EVENT_DIR/Redoviri.ini"
note "Cancelled due at $due_hm (UTC, as the prefix's clock)"

tool() {  # add|delete CATEGORY NAME: the tool, another program, on the same file
  "$(redoviri_wine_for "$CLI_EXE")" "$CLI_EXE" "$1" --file "$FILE_WIN" --category "$2" --date "$due_date" \
    --time "$due_hm" --name "$3" --once </dev/null >/dev/null 2>>"$E2E_DIR/tool.log" ||
    fail "the tool's $1 of $3 failed: $(cat "$E2E_DIR/tool.log")"
}

start_until_tray
click_tray_for_calendar "$tray_x" "$tray_y" || fail "the tray click showed no main window"
grid_counts() { focused_control | grep -q ", today, $1"; }
wait_for 10 grid_counts "1 event" || fail "the day grid does not count today's one event: $(focused_control)"

# --- The calendar shows: the tool's event is counted within 15 s.
tool add 3 "Call Bob"
added_at=$SECONDS
wait_for 15 grid_counts "2 events" || fail "15 s after the tool's add the day grid reads: $(focused_control)"
note "the added event showed after $((SECONDS - added_at)) s"

# --- Hidden: the tray's tooltip follows an addition and a deletion.
xdotool key Escape
wait_for 10 no_redoviri_window || fail "Escape left the calendar"
tool add 5 "Party"
tool delete 6 "Cancelled"
changed_at=$SECONDS
tip_counts() {
  xdotool mousemove $((tray_x + 10 + RANDOM % 3)) $((tray_y + 10))
  probe tips | grep -q "Today : 1 work. 1 feest. "
}
wait_for 15 tip_counts || fail "15 s after the tool's changes the tooltips read: $(probe tips | tr '\n' '|')"
note "the tooltip followed after $((SECONDS - changed_at)) s"
xdotool mousemove $((SCREEN_W / 2)) $((SCREEN_H / 2))

# --- At the minute: the notices of the events added, not of the deleted one.
wait_for $(( due_s - $(date +%s) + 40 )) redoviri_window_of_size "$(scaled 420)" "$(scaled 212)" >/dev/null ||
  fail "no notice window by $due_hm + 40 s"
read -r nx ny < <(redoviri_window_of_size "$(scaled 420)" "$(scaled 212)")
screenshot "$SHOTS/outside-changes.png"
# The list reads the line the keys are on, the first: dismissed (its button
# at the list's right edge) one after the other, the two added events, and
# then the window goes: nothing of the deleted one.
first_line() { probe dialog "Redoviri by DUZOVU" | grep -E "^$due_hm " | head -1; }
for name in "Call Bob" "Party"; do
  wait_for 10 test "$(first_line)" = "$due_hm $name" || fail "the notice's first line reads '$(first_line)', not $name"
  xdotool mousemove $((nx + $(scaled $((10 + 400 - 17 - 4 - 26))))) $((ny + $(scaled $((20 + 18))))) click 1
  wait_for 10 test "$(first_line)" != "$due_hm $name" || fail "Dismiss left '$(first_line)'"
done
notice_gone() { ! redoviri_window_of_size "$(scaled 420)" "$(scaled 212)" >/dev/null; }
wait_for 10 notice_gone || fail "the notice window stayed with '$(first_line)'"

choose_quit "$tray_x" "$tray_y"
wait_for 60 process_ended "$pid" || fail "Quit did not end the program"
echo "outside changes: the tool's add counted in the shown calendar, an add and a delete in the hidden one's tooltip, each within 15 s; the notices at $due_hm of the added events only"
