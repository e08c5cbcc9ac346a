#!/usr/bin/env bash
# The real program on a screen of E2E_LOGPIXELS DPI (144 unless told: a
# display scale of 150 %), as its manifest declares it: per-monitor aware,
# every window its 96-DPI layout scaled. The splash and the calendar come at
# their scaled sizes, centred; the calendar takes the keyboard, the arrow
# keys move the selection, and today's cell has the today colour over its
# scaled area inside a frame of the scaled width.
source "$(dirname "$0")/e2e_lib.sh" "$@"
export E2E_LOGPIXELS=${E2E_LOGPIXELS:-144}
e2e_start

splash_w=$(scaled 238) splash_h=$(scaled 178)
main_w=$(scaled 353) main_h=$(scaled 311)
start_redoviri
pid=$REDOVIRI_PID
wait_for 120 redoviri_window_of_size "$splash_w" "$splash_h" >/dev/null ||
  fail "no splash of $splash_w x $splash_h (windows: $(redoviri_windows))"
screenshot "$SHOTS/splash-$E2E_LOGPIXELS.png"
wait_for 60 no_redoviri_window || fail "the splash did not go"
wait_for 30 tray_shown || fail "no tray icon"
read -r tray_x tray_y < <(tray_place)

click_tray_for_calendar "$tray_x" "$tray_y" "$main_w" "$main_h" ||
  fail "the tray click showed no calendar of $main_w x $main_h (windows: $(redoviri_windows))"
read -r mx my < <(redoviri_window_of_size "$main_w" "$main_h")
[ "$mx" -eq $(( (SCREEN_W - main_w) / 2 )) ] && [ "$my" -eq $(( (SCREEN_H - main_h) / 2 )) ] ||
  fail "the calendar is not centred: $mx $my"
keyboard_in_window_of_size "$main_w" "$main_h" || fail "the calendar does not have the keyboard"
xdotool mousemove $((SCREEN_W - 20)) $((SCREEN_H - 20))
wait_for 30 settled_shot "$SHOTS/main-$E2E_LOGPIXELS.png" "$mx" "$my" "$main_w" "$main_h" ||
  fail "the calendar did not settle"

# Today's cell (k = 1st's column + day) in the grid panel at (18, 95): its
# colour covers the cell's scaled area inside the frame.
day=$(date +%-d) first_column=$(( ($(date -d "$(date +%Y-%m-01)" +%u) + 6) % 7 ))
k=$((first_column + day))
column=$(( (k - 1) % 7 )) row=$(( (k - 1) / 7 ))
left=$((18 + 45 * column)) top=$((95 + 21 + 29 * row))
x0=$(scaled "$left") y0=$(scaled "$top") x1=$(scaled $((left + 46))) y1=$(scaled $((top + 30)))
line=$(scaled 1)
inside=$(( (x1 - x0 - 2 * line) * (y1 - y0 - 2 * line) ))
today_pixels=$(count_colour "$SHOTS/main-$E2E_LOGPIXELS.png" "$((mx + x0))" "$((my + y0))" "$((x1 - x0))" "$((y1 - y0))" 128,255,255)
# The day number covers some of it.
[ "$today_pixels" -gt $((inside * 6 / 10)) ] && [ "$today_pixels" -le "$inside" ] ||
  fail "today's cell has $today_pixels pixels of its colour, not most of $inside"

# The keys move the selection in the day grid.
grid_has_keyboard() { focused_control | grep -q ", today, "; }
wait_for 10 grid_has_keyboard || fail "the day grid has not the keyboard: $(probe focus | tr '\n' ' ')"
before=$(focused_control)
if [ "$day" -gt 1 ]; then xdotool key Left; else xdotool key Right; fi
selection_moved() { [ "$(focused_control)" != "$before" ]; }
wait_for 10 selection_moved || fail "the key did not reach the calendar: $(focused_control)"

choose_quit "$tray_x" "$tray_y" || fail "Quit did not end the program"
note "passed at $E2E_LOGPIXELS DPI: splash $splash_w x $splash_h, calendar $main_w x $main_h"
