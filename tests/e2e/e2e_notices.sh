#!/usr/bin/env bash
# Notices at the events' time, with the real clock: two events of today due
# at the same minute, a minute or so after the start. While the user types
# in the calendar, the notice window comes at the work area's bottom right
# with both events, without taking the keyboard (the calendar still has it
# and the keys still move its selection); the tray's balloon tells the
# first one. Dismiss takes one event away, a click on a line opens its day
# in the list window (and a message box and its menu there give the
# keyboard back), "Dismiss all" takes the window away and gives the
# keyboard back. E2E_LOGPIXELS=144 runs it all at a
# display scale of 150 %.
source "$(dirname "$0")/e2e_lib.sh" "$@"
e2e_start

EVENT_DIR="$WINEPREFIX/drive_c/Program Files/Redoviri by DUZOVU"
mkdir -p "$EVENT_DIR"
# The first whole minute at least 40 s away: the start and the tray click
# are over by then.
due_s=$(( ( $(date +%s) + 40 + 59 ) / 60 * 60 ))
due_hm=$(date -u -d "@$due_s" +%H:%M)
due_day=$(date -u -d "@$due_s" +%m%d%Y)
event() {  # CATEGORY NAME COMMENT
  printf '%s;%s;%s;N;N;Y;N;000;%-30s;%-50s' "$due_day" "$due_hm" "$1" "$2" "$3"
}
printf 'Redoviri by DUZOVU event file\r\n%s\r\n%s\r\n' \
  "$(event 3 "Call Bob" "about the van")" "$(event 6 Dentist "bring the card")" >"$EVENT_DIR/Redoviri.ini"
note "two events due at $due_hm (UTC, as the prefix's clock)"

start_until_tray
click_tray_for_calendar "$tray_x" "$tray_y" || fail "the tray click showed no main window"
grid_has_keyboard() { focused_control | grep -q ", today, "; }
wait_for 10 grid_has_keyboard || fail "the calendar's day grid has not the keyboard: $(probe focus | tr '\n' ' ')"
keys_to_window "$(scaled 353)" "$(scaled 311)" "the calendar"

# --- The notice window, 420 x 212 at the work area's bottom right (8 pixels
# in), over the calendar.
wait_for $(( due_s - $(date +%s) + 40 )) redoviri_window_of_size "$(scaled 420)" "$(scaled 212)" >/dev/null ||
  fail "no notice window by $due_hm + 40 s"
read -r nx ny < <(redoviri_window_of_size "$(scaled 420)" "$(scaled 212)")
[ "$nx" -eq $((SCREEN_W - $(scaled 8) - $(scaled 420))) ] && [ "$ny" -eq $((SCREEN_H - $(scaled 8) - $(scaled 212))) ] ||
  note "the notice window is at $nx $ny (the work area is Wine's)"
list_text() { probe dialog "Redoviri by DUZOVU" | grep " $due_hm \| Call Bob\|Dentist" | head -1; }
[ "$(list_text)" = "$due_hm Call Bob, about the van" ] || fail "the notice's first line reads '$(list_text)'"

# The calendar still has the keyboard: a key moves its selection.
before=$(focused_control)
grep -q ", today, " <<<"$before" || fail "the notice took the keyboard: $(probe focus | tr '\n' ' ')"
if [ "$E2E_WM" = openbox ]; then
  keyboard_in_window_of_size "$(scaled 353)" "$(scaled 311)" || fail "the notice took the X focus (now with window $(keyboard_window))"
fi
if [ "$(date +%-d)" -gt 1 ]; then xdotool key Left; else xdotool key Right; fi
selection_moved() { [ "$(focused_control)" != "$before" ]; }
wait_for 10 selection_moved || fail "the key did not reach the calendar: $(focused_control)"

# --- The balloon tells the first event and how many more.
balloon_shown() { probe tips | grep -q "$due_hm Call Bob"; }
wait_for 10 balloon_shown || fail "no balloon of '$due_hm Call Bob' (tooltips: $(probe tips | tr '\n' '|'))"
probe tips | grep -q "+1 more" || fail "the balloon does not tell of one more: $(probe tips | tr '\n' '|')"
xdotool mousemove $((SCREEN_W - 20)) 10
screenshot "$SHOTS/notice.png"

# --- Dismiss on the first line (its button at the list's right edge, the
# list at 10, 20 in the window, lines 36 high): Dentist is left.
xdotool mousemove $((nx + $(scaled $((10 + 400 - 17 - 4 - 26))))) $((ny + $(scaled $((20 + 18))))) click 1
dentist_left() { [ "$(list_text)" = "$due_hm Dentist, bring the card" ]; }
wait_for 10 dentist_left || fail "Dismiss left '$(list_text)'"
# The keyboard stays with the calendar, which had it before the click.
if [ "$E2E_WM" = openbox ]; then
  wait_for 10 keyboard_in_window_of_size "$(scaled 353)" "$(scaled 311)" ||
    fail "after Dismiss the keyboard is with window '$(keyboard_window)', not the calendar"
fi

# --- A click on the line opens its day in the event list window, which
# takes the keyboard; a message box over it (Delete, answered No) gives the
# keyboard back to its rows, the X focus too.
xdotool mousemove $((nx + $(scaled $((10 + 100))))) $((ny + $(scaled $((20 + 18))))) click 1
wait_for 20 redoviri_window_of_size "$(scaled 405)" "$(scaled 394)" >/dev/null || fail "a click on the line opened no list window"
keys_to_window "$(scaled 405)" "$(scaled 394)" "the list window opened from the notice"
# The rows' grid, 367 x 185 (at another scale its edges are scaled: a
# pixel either way).
rows_focused() {
  focused_control | awk -F'\t' -v w="$(scaled 367)" -v h="$(scaled 185)" '$1 == "RedoviriWidget" {
    split($2, r, " "); dw = r[3] - w; dh = r[4] - h
    if (dw >= -1 && dw <= 1 && dh >= -1 && dh <= 1) found = 1 } END { exit !found }'
}
wait_for 10 rows_focused || fail "the list window's rows have not the keyboard: $(probe focus | tr '\n' ' ')"
xdotool key Delete
wait_for 10 probe shown "Redoviri by DUZOVU" "Do you realy want to delete that event?" ||
  fail "Delete asked nothing: $(probe focus | tr '\n' ' ')"
xdotool key n
box_gone() { ! probe shown "Redoviri by DUZOVU" "Do you realy want to delete that event?"; }
wait_for 10 box_gone || fail "the question stayed after No"
wait_for 10 rows_focused || fail "after the box the rows have not the keyboard: $(probe focus | tr '\n' ' ')"
keys_to_window "$(scaled 405)" "$(scaled 394)" "the list window after the message box"
# Shift+F10 opens the list window's menu; after Escape the rows have the
# keyboard again.
menu_open() { probe menu >/dev/null; }
xdotool key shift+F10
wait_for 10 menu_open || fail "Shift+F10 opened no menu in the list window"
xdotool key Escape
wait_for 10 rows_focused || fail "after its menu the rows have not the keyboard: $(probe focus | tr '\n' ' ')"
keys_to_window "$(scaled 405)" "$(scaled 394)" "the list window after its menu"
# "Dismiss all" (78 x 22 at 330, 167): the window goes, and the list
# window the click took the keyboard from has it back.
xdotool mousemove $((nx + $(scaled $((330 + 39))))) $((ny + $(scaled $((167 + 11))))) click 1
notice_gone() { ! redoviri_window_of_size "$(scaled 420)" "$(scaled 212)" >/dev/null; }
wait_for 10 notice_gone || fail "Dismiss all left the notice window"
wait_for 10 rows_focused || fail "after Dismiss all the rows have not the keyboard: $(probe focus | tr '\n' ' ')"
keys_to_window "$(scaled 405)" "$(scaled 394)" "the list window after Dismiss all"

choose_quit "$tray_x" "$tray_y"
wait_for 60 process_ended "$pid" || fail "Quit did not end the program"
echo "notices: two events at $due_hm in one window, the balloon, the keyboard left in the calendar, Dismiss, a line's day, Dismiss all"
