#!/usr/bin/env bash
# Adding an event as a person would: a click on the tray icon shows the
# calendar, a double click on the 15th opens the event list window on that
# day, "Birthday" opens the editor, a name and a time are typed, "Save"
# writes the event, "Back to Calendar" shows the calendar with the day
# marked. The event file then holds exactly the reserved line and the event.
# After the save the first click on another kind's button opens the editor.
source "$(dirname "$0")/e2e_lib.sh" "$@"
e2e_start

no_list_window() { ! redoviri_window_of_size 405 394 >/dev/null; }
# The cell of the 15th in its selected colour (today's colour when the 15th
# is today: today's cell keeps it).
cell_selected() {
  local colour=255,255,221
  [ "$(date +%-d)" = 15 ] && colour=128,255,255
  screenshot "$SHOTS/selected.png"
  [ "$(count_colour "$SHOTS/selected.png" "$cell_x" "$cell_y" 46 30 "$colour")" -gt 500 ]
}
# The window at a point of the screen is a control of this class.
control_at() { probe at "$2" "$3" | grep -q "^$1	"; }  # CLASS X Y
# The keyboard focus is in the control at that point.
focus_at() {  # X Y
  local place
  place=$(probe at "$1" "$2") && focused_control | grep -qxF "$place"
}
# Clicks a field of the editor and waits until it has the keyboard focus.
click_field() {  # X Y WHAT
  xdotool mousemove "$1" "$2" click 1
  wait_for 10 focus_at "$1" "$2" ||
    fail "a click on the $3 gave it no keyboard focus (it has: $(probe focus | tr '\n' ' '))"
}
# The cell of the 15th painted again: black is left only in its number.
calendar_painted() {
  screenshot "$SHOTS/marked.png"
  [ "$(count_colour "$SHOTS/marked.png" "$cell_x" "$cell_y" 46 30 0,0,0)" -lt 200 ]
}
EVENT_FILE="$WINEPREFIX/drive_c/Program Files/Redoviri by DUZOVU/Redoviri.ini"

start_until_tray

click_tray_for_calendar "$tray_x" "$tray_y" || fail "the tray click showed no main window"
read -r mx my < <(redoviri_window_of_size 353 311)

# The 15th of this month: cell k at 45 * column, 21 + 29 * row of the grid
# panel (18, 95, inside a 2-pixel edge).
first_weekday=$(date -d "$(date +%Y-%m-01)" +%u)
k=$(( 15 + first_weekday - 1 ))
cell_x=$(( mx + 18 + 2 + 45 * ((k - 1) % 7) ))
cell_y=$(( my + 95 + 2 + 21 + 29 * ((k - 1) / 7) ))
xdotool mousemove $((cell_x + 23)) $((cell_y + 15)) click 1
wait_for 10 cell_selected || fail "the click on the 15th did not select it"
xdotool click --repeat 2 --delay 80 1
wait_for 30 redoviri_window_of_size 405 394 >/dev/null || fail "the double click opened no list window"
read -r lx ly < <(redoviri_window_of_size 405 394)

# "Birthday" in the button area (15, 242): the button at (110, 3), 100 x 40.
# The editor at (17, 52): the name field at (110, 78), the time at (240, 129).
name_x=$((lx + 17 + 186)) name_y=$((ly + 52 + 88))
xdotool mousemove $((lx + 15 + 160)) $((ly + 242 + 23)) click 1
wait_for 10 control_at Edit "$name_x" "$name_y" || fail "Birthday opened no editor: $(probe at "$name_x" "$name_y")"
click_field "$name_x" "$name_y" "name field"
xdotool type --delay 40 "Anna"
click_field $((lx + 17 + 258)) $((ly + 52 + 139)) "time field"
xdotool key Home
xdotool type --delay 40 "0930"
screenshot "$SHOTS/editor.png"
# "Save" at (96, 279), 75 x 18.
xdotool mousemove $((lx + 17 + 133)) $((ly + 52 + 288)) click 1
wait_for 30 test -s "$EVENT_FILE" || fail "Save wrote no event file"
editor_gone() { ! control_at Edit "$name_x" "$name_y"; }
wait_for 10 editor_gone || fail "Save left the editor open"
# The first click on a kind's button after the save opens the editor ("Lovely" at (11, 3)).
xdotool mousemove $((lx + 15 + 61)) $((ly + 242 + 23)) click 1
wait_for 10 control_at Edit "$name_x" "$name_y" || fail "the first click on Lovely after the save opened no editor"
xdotool mousemove $((lx + 17 + 250)) $((ly + 52 + 288)) click 1  # "Exit"
wait_for 10 editor_gone || fail "Exit left the editor open"

# "Back to Calendar" at (212, 100), 152 x 27 in the button area.
xdotool mousemove $((lx + 15 + 288)) $((ly + 242 + 113)) click 1
wait_for 30 redoviri_window_of_size 353 311 >/dev/null || fail "Back to Calendar showed no calendar"
wait_for 30 no_list_window || fail "Back to Calendar left the list window"
xdotool mousemove $((SCREEN_W - 20)) $((SCREEN_H - 20))
wait_for 30 calendar_painted || fail "the calendar was not painted again"

name=$(printf '%-30s' Anna)
line="$(date +%m)15$(date +%Y);09:30;2;Y;N;N;N;000;${name};$(printf '%50s' '')"
expected=$(printf 'Redoviri by DUZOVU event file\r\n%s\r\n' "$line" | od -An -c)
[ "$(od -An -c "$EVENT_FILE")" = "$expected" ] || fail "the event file holds $(cat -A "$EVENT_FILE")"

# The cell of the 15th now shows the birthday picture: it differs from the
# same cell before the save in many pixels.
convert "$SHOTS/selected.png" -crop "46x30+${cell_x}+${cell_y}" +repage "$E2E_DIR/before.png"
convert "$SHOTS/marked.png" -crop "46x30+${cell_x}+${cell_y}" +repage "$E2E_DIR/after.png"
changed=$(compare -metric AE "$E2E_DIR/before.png" "$E2E_DIR/after.png" null: 2>&1)
[ "${changed%% *}" -gt 100 ] 2>/dev/null || fail "the 15th looks as before the save ($changed pixels differ)"

choose_quit "$tray_x" "$tray_y"
wait_for 60 process_ended "$pid" || fail "Quit did not end the program"
echo "add: the birthday of the 15th saved, listed and marked ($changed pixels of its cell changed)"
