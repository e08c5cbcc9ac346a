#!/usr/bin/env bash
# The tray icon's menu drives the program: "Hide calendar" takes the
# calendar away, "Help" shows the help and its "OK" brings the calendar
# back, "About Redoviri by DUZOVU" shows the about window with its bird
# flying and a close box takes it away again, and "Terminate Redoviri and
# Quit" ends the program and takes the icon away.
source "$(dirname "$0")/e2e_lib.sh" "$@"
e2e_start

start_until_tray

main_shown() { redoviri_window_of_size 353 311 >/dev/null; }
# The look that found the about window is kept in $windows.
about_shown() {
  windows=$(redoviri_windows)
  grep -q ' 416 362$' <<<"$windows" && animations_over
}
# One look: the calendar and nothing else.
only_main_shown() {
  local windows
  windows=$(redoviri_windows)
  [ "$(grep -c . <<<"$windows")" -eq 1 ] && [ "$(cut -d' ' -f3,4 <<<"$windows")" = "353 311" ] && animations_over
}
help_shown() { probe dialog "                  Help for Redoviri" >"$E2E_DIR/help.txt" && animations_over; }
# The about window's picture differs from the one taken first in many
# pixels: the bird has flown on.
bird_moved() {
  screenshot "$E2E_DIR/about2.png"
  convert "$E2E_DIR/about2.png" -crop "416x362+$ax+$ay" +repage "$E2E_DIR/about2c.png"
  moved=$(compare -metric AE "$E2E_DIR/about1c.png" "$E2E_DIR/about2c.png" null: 2>&1)
  [ "$moved" -gt 100 ] 2>/dev/null
}

# --- "Show Calendar", then "Hide calendar": nothing comes back.
choose_item "$tray_x" "$tray_y" down 1
wait_for 30 main_shown || fail "Show Calendar showed no main window"
choose_item "$tray_x" "$tray_y" down 2
wait_for 30 no_redoviri_window || fail "Hide calendar left a window: $(redoviri_windows)"
wait_for 30 animations_over || fail "the hide animation did not end"
# Nothing may come back once the hide is over; a second and a half gives
# the program time to be wrong.
sleep 1.5
windows=$(redoviri_windows)
[ -z "$windows" ] || fail "a window came back after Hide calendar: $windows"

# --- "Help", then its "OK": the calendar comes back.
choose_item "$tray_x" "$tray_y" down 5
wait_for 30 help_shown || fail "Help showed no help window"
grep -qx "OK" "$E2E_DIR/help.txt" || fail "the help window has no OK: $(cat "$E2E_DIR/help.txt")"
screenshot "$SHOTS/help.png"
probe press "                  Help for Redoviri" OK || fail "cannot press the help's OK"
wait_for 30 only_main_shown || fail "OK did not bring the calendar back alone: $(redoviri_windows)"

# --- "About Redoviri by DUZOVU": centred, the bird moves; a close box ends it.
choose_item "$tray_x" "$tray_y" down 6
wait_for 30 about_shown || fail "the about command showed no about window"
read -r ax ay < <(awk '$3 == 416 && $4 == 362 {print $1, $2}' <<<"$windows")
[ "$ax" -eq $(( (SCREEN_W - 416) / 2 )) ] && [ "$ay" -eq $(( (SCREEN_H - 362) / 2 )) ] ||
  fail "about window not centred: $ax $ay"
grep -q ' 353 311$' <<<"$windows" && fail "the main window stayed beside the about window"
xdotool mousemove $((SCREEN_W - 20)) $((SCREEN_H - 20))
screenshot "$E2E_DIR/about1.png"
convert "$E2E_DIR/about1.png" -crop "416x362+$ax+$ay" +repage "$E2E_DIR/about1c.png"
moved=0
wait_for 5 bird_moved || fail "the bird did not move in five seconds ($moved pixels changed)"
cp "$E2E_DIR/about2.png" "$SHOTS/about.png"
# The top-right close box.
xdotool mousemove $((ax + 416 - 6)) $((ay + 6)) click 1
wait_for 30 only_main_shown || fail "the close box did not give the calendar back: $(redoviri_windows)"

# --- "Terminate Redoviri and Quit".
choose_quit "$tray_x" "$tray_y"
wait_for 60 process_ended "$pid" || fail "Quit did not end the program"
wait_for 30 tray_gone || fail "the tray icon stayed after Quit"
echo "menu walk: hide, help and OK, about and its close box, quit"
