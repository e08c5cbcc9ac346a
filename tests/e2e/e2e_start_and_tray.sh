#!/usr/bin/env bash
# A real start: the splash is the only window right after the start and is
# gone three seconds later; a click on the tray icon shows the month
# calendar, centred, with today's cell in the today colour; "Terminate
# Redoviri and Quit" in the tray icon's menu ends the program and takes the
# icon away.
source "$(dirname "$0")/e2e_lib.sh" "$@"
SPLASH_PICTURE=$E2E_ROOT/src/resources/pictures/splash.bmp
e2e_start

started=$SECONDS
start_redoviri
pid=$REDOVIRI_PID

# --- Splash: 238 x 178, centred, the picture at left -2, top 50 on black.
# One look at the screen for all of it, the one that found the splash
# (Wine may unmap it for a moment right after it first shows, so a second
# look could find nothing): the splash alone, centred.
splash_seen() {
  windows=$(redoviri_windows)
  grep -q ' 238 178$' <<<"$windows" && animations_over
}
wait_for 120 splash_seen || fail "no splash"
[ "$(grep -c . <<<"$windows")" -eq 1 ] || fail "not the splash alone visible: ${windows:-nothing}"
read -r sx sy sw sh <<<"$windows"
[ "$sw $sh" = "238 178" ] || fail "not the splash visible: $windows"
[ "$sx" -eq $(( (SCREEN_W - 238) / 2 )) ] && [ "$sy" -eq $(( (SCREEN_H - 178) / 2 )) ] ||
  fail "splash not centred: $sx $sy"
# Columns 2.. of the picture fill the window's width from its left edge.
convert "$SPLASH_PICTURE" -crop 238x127+2+0 +repage "$E2E_DIR/splash_expected.png"
splash_picture_shown() {
  screenshot "$SHOTS/splash.png"
  convert "$SHOTS/splash.png" -crop "238x127+${sx}+$((sy + 50))" +repage "$E2E_DIR/splash_shown.png"
  differing=$(compare -metric AE "$E2E_DIR/splash_expected.png" "$E2E_DIR/splash_shown.png" null: 2>&1)
  [ "$differing" = 0 ]
}
wait_for 2 splash_picture_shown || fail "the splash picture differs in $differing pixels"
[ "$(count_other "$SHOTS/splash.png" "$sx" "$sy" 238 50 0,0,0)" -eq 0 ] || fail "the splash is not black above the picture"

# --- Three seconds on, no window is left, only the tray icon.
# Gone for good: Wine may unmap the splash for a moment right after it
# first shows (a blink of 40 to 200 ms), which is not its end.
gone_for_good() { holds_for 500 no_redoviri_window; }
wait_for 60 gone_for_good || fail "the splash did not go"
[ $((SECONDS - started)) -ge 3 ] || fail "the splash went before three seconds"
screenshot "$SHOTS/resident.png"
[ "$(count_other "$SHOTS/resident.png" "$sx" "$sy" 238 178 0,0,0)" -eq 0 ] || fail "the splash is still on the screen"
wait_for 30 tray_shown || fail "no tray icon"
read -r tray_x tray_y < <(tray_place)

# --- A click on the tray icon shows the main window, centred.
click_tray_for_calendar "$tray_x" "$tray_y" || fail "the tray click showed no main window"
read -r mx my < <(redoviri_window_of_size 353 311)
[ "$mx" -eq $(( (SCREEN_W - 353) / 2 )) ] && [ "$my" -eq $(( (SCREEN_H - 311) / 2 )) ] ||
  fail "main window not centred: $mx $my"
xdotool mousemove $((SCREEN_W - 20)) $((SCREEN_H - 20))  # no hover look, no hint
wait_for 30 settled_shot "$SHOTS/main.png" "$mx" "$((my + 25))" 353 286 || fail "the calendar did not settle"

# Today's cell: the 1st lies in column (weekday - 1), Monday first; cell k
# lies at 45 * column, 21 + 29 * row in the grid panel (18, 95, inside a
# 2-pixel edge).
day=$(date +%-d)
first_weekday=$(date -d "$(date +%Y-%m-01)" +%u)
k=$(( day + first_weekday - 1 ))
col=$(( (k - 1) % 7 ))
row=$(( (k - 1) / 7 ))
cell_x=$(( mx + 18 + 2 + 45 * col ))
cell_y=$(( my + 95 + 2 + 21 + 29 * row ))
grid_x=$(( mx + 18 + 2 ))
grid_y=$(( my + 95 + 2 + 21 ))
in_cell=$(count_colour "$SHOTS/main.png" "$cell_x" "$cell_y" 46 30 128,255,255)
in_grid=$(count_colour "$SHOTS/main.png" "$grid_x" "$grid_y" 315 174 128,255,255)
[ "$in_cell" -gt 500 ] || fail "today's cell $k has $in_cell pixels of the today colour"
[ "$in_grid" -eq "$in_cell" ] || fail "the today colour also outside cell $k ($in_grid against $in_cell)"

# --- The calendar a tray click showed has the keyboard, in its day grid
# (whose text, for screen readers, names today), and an arrow key moves the
# selection from today to the day beside it. Under a window manager the X
# focus is the calendar's; on a bare display X gives the keys to the window
# under the pointer.
grid_has_keyboard() { focused_control | grep -q ", today, "; }
wait_for 10 grid_has_keyboard || fail "the calendar's day grid has not the keyboard: $(probe focus | tr '\n' ' ')"
keys_to_window 353 311 "the calendar shown by the tray click"
if [ "$day" -gt 1 ]; then key=Left; k2=$((k - 1)); else key=Right; k2=$((k + 1)); fi
next_x=$(( mx + 18 + 2 + 45 * ((k2 - 1) % 7) ))
next_y=$(( my + 95 + 2 + 21 + 29 * ((k2 - 1) / 7) ))
xdotool key "$key"
selected_beside() {
  settled_shot "$SHOTS/main-key.png" "$mx" "$((my + 25))" 353 286 &&
    [ "$(count_colour "$SHOTS/main-key.png" "$next_x" "$next_y" 46 30 255,255,221)" -gt 500 ]
}
wait_for 10 selected_beside || fail "the $key key did not select the day beside today"

# --- "Edit new event" over the shown calendar: the date chooser takes the
# keyboard, Escape closes it, and the keyboard is back in the calendar (the
# X focus too, under a window manager): the next key moves the selection.
choose_item "$tray_x" "$tray_y" down 3
chooser_has_keyboard() { focused_control | grep -q "^Edit"; }
wait_for 20 chooser_has_keyboard || fail "the date chooser has not the keyboard: $(probe focus | tr '\n' ' ')"
keys_to_window 301 149 "the date chooser"
xdotool key Escape
grid_focused() { focused_control | grep -q "^RedoviriWidget.* 317 198	"; }
wait_for 10 grid_focused || fail "after the chooser the grid has not the keyboard: $(probe focus | tr '\n' ' ')"
keys_to_window 353 311 "the calendar after the chooser"
before=$(focused_control)
xdotool key Up
grid_moved() { [ "$(focused_control)" != "$before" ]; }
wait_for 10 grid_moved || fail "a key after the chooser did not reach the calendar: $(focused_control)"

# --- Shift+F10 opens the menu over the calendar; after Escape the keyboard
# is back in the calendar: the next key moves the selection.
menu_open() { probe menu >/dev/null; }
xdotool key shift+F10
wait_for 10 menu_open || fail "Shift+F10 opened no menu"
xdotool key Escape
menu_closed() { ! menu_open; }
wait_for 10 menu_closed || fail "Escape left the menu open"
wait_for 10 grid_focused || fail "after the menu the grid has not the keyboard: $(probe focus | tr '\n' ' ')"
keys_to_window 353 311 "the calendar after the menu"
before=$(focused_control)
xdotool key Down
wait_for 10 grid_moved || fail "a key after the menu did not reach the calendar: $(focused_control)"

# --- The tray icon's menu: "Terminate Redoviri and Quit" ends the program.
choose_quit "$tray_x" "$tray_y"
wait_for 60 process_ended "$pid" || fail "Quit did not end the program"
wait_for 30 tray_gone || fail "the tray icon stayed after Quit"
echo "start: splash, main window with today's cell $k, Quit ended the program after $((SECONDS - started)) s"
