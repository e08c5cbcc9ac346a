# Shared by the end-to-end scripts: bash e2e_<name>.sh REDOVIRI_EXE PROBE_EXE
#
# Every script runs the real program in its own Wine prefix (a copy of the
# project's ready prefix) on its own virtual display, so nothing else on the
# machine (other tests, a desktop) shares its tray or its screen. The display
# has a window manager as a desktop would (E2E_WM=openbox, the default:
# focus follows activation, z-order as on a desktop) or none (E2E_WM=none:
# a bare display, focus follows the pointer; E2E_WM=unmanaged: none either,
# with Wine placing and focusing its windows itself). The EXIT trap ends the
# prefix's wineserver, the window manager and the display and removes the
# copy.
#
# Screenshots stay in E2E_SHOTS when it names a folder; a failure's screen
# goes to results/ of the working directory (the build's, under ctest).
# shellcheck shell=bash
set -uo pipefail

REDOVIRI_EXE=$1
PROBE_EXE=$2
E2E_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source=tools/wine-env.sh
source "$E2E_ROOT/tools/wine-env.sh"

SCREEN_W=1024
SCREEN_H=768
E2E_DIR=$(mktemp -d "${TMPDIR:-/tmp}/redoviri-e2e.XXXXXX")
SHOTS=${E2E_SHOTS:-$E2E_DIR}
E2E_WM=${E2E_WM:-openbox}
E2E_NAME=$(basename "$0" .sh)
case $E2E_WM in openbox) ;; none) E2E_NAME+=_bare ;; *) E2E_NAME+=_$E2E_WM ;; esac
E2E_XVFB_PID=
E2E_PREFIX_OWNED=

fail() {
  echo "FAIL: $*" >&2
  if [ -d results ]; then
    screenshot "results/$E2E_NAME-failure.png" && echo "screen at the failure: $PWD/results/$E2E_NAME-failure.png" >&2
  fi
  exit 1
}

note() { echo "$*" >&2; }

e2e_cleanup() {
  if [ -n "$E2E_PREFIX_OWNED" ]; then
    WINEPREFIX=$E2E_PREFIX_OWNED wineserver -k >/dev/null 2>&1
    WINEPREFIX=$E2E_PREFIX_OWNED wineserver -w >/dev/null 2>&1
  fi
  redoviri_stop_wm
  [ -n "$E2E_XVFB_PID" ] && kill "$E2E_XVFB_PID" 2>/dev/null
  rm -rf "$E2E_DIR"
}
trap e2e_cleanup EXIT

# Its own display: Xvfb picks a free number and writes it to fd 3.
start_display() {
  redoviri_start_display "${SCREEN_W}x${SCREEN_H}" || fail "Xvfb did not start"
  E2E_XVFB_PID=$REDOVIRI_XVFB_PID
}

# Its own prefix: a copy of the ready one (WINEPREFIX when the test command
# gave one, else the project's, prepared first if need be).
start_prefix() {
  if [ ! -f "$WINEPREFIX/.redoviri-ready" ]; then
    redoviri_wine_start || fail "no Wine prefix"
  fi
  cp -a "$WINEPREFIX" "$E2E_DIR/prefix" || fail "cannot copy the prefix $WINEPREFIX"
  export WINEPREFIX=$E2E_DIR/prefix
  E2E_PREFIX_OWNED=$WINEPREFIX
  WINE=$(redoviri_wine_for "$REDOVIRI_EXE")
  # E2E_LOGPIXELS: the screen's resolution (144 for a display scale of 150 %).
  if [ -n "${E2E_LOGPIXELS:-}" ]; then
    "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$E2E_LOGPIXELS" /f \
      >/dev/null 2>&1 || fail "cannot set the resolution $E2E_LOGPIXELS"
  fi
}

# Display, prefix and the window manager E2E_WM (after the prefix: the
# unmanaged mode is a setting in it).
e2e_start() {
  start_display
  start_prefix
  redoviri_start_wm "$E2E_WM" "$E2E_DIR/wm.log" || fail "the window manager $E2E_WM did not start"
  note "display $DISPLAY (window manager: $E2E_WM), prefix $WINEPREFIX, loader $WINE"
}

# A 96-DPI layout length at the screen's resolution E2E_LOGPIXELS (96
# unless told): MulDiv(v, dpi, 96), for v >= 0.
scaled() { local dpi=${E2E_LOGPIXELS:-96}; echo $(( ($1 * dpi * 2 + 96) / 192 )); }

# Starts Redoviri.exe in the background; REDOVIRI_PID is its process (the
# loader becomes the program).
start_redoviri() {
  "$WINE" "$REDOVIRI_EXE" </dev/null >>"$E2E_DIR/redoviri.log" 2>&1 &
  REDOVIRI_PID=$!
}

# Starts Redoviri.exe and waits through the splash until only its tray
# icon is left; sets pid, tray_x and tray_y. `what` names the program in
# failures.
start_until_tray() {  # [what]
  local what=${1:-the program}
  start_redoviri
  pid=$REDOVIRI_PID
  wait_for 120 redoviri_window_of_size "$(scaled 238)" "$(scaled 178)" >/dev/null || fail "$what showed no splash"
  wait_for 60 no_redoviri_window || fail "the splash did not go"
  wait_for 30 tray_shown || fail "no tray icon"
  read -r tray_x tray_y < <(tray_place)
}

probe() {
  "$(redoviri_wine_for "$PROBE_EXE")" "$PROBE_EXE" "$@" 2>/dev/null | tr -d '\r'
}

# wait_for SECONDS COMMAND...: runs COMMAND every 0.2 s until it succeeds.
wait_for() {
  local limit=$1
  shift
  local end=$((SECONDS + limit))
  while [ $SECONDS -lt $end ]; do
    "$@" && return 0
    sleep 0.2
  done
  "$@"
}

process_ended() { ! kill -0 "$1" 2>/dev/null; }

screenshot() { import -window root "$1" 2>/dev/null; }

# Under a window manager: the X window it names active, and the windows it
# stacks, one a line from the bottom; the process of an X window.
active_x_window() { xprop -root _NET_ACTIVE_WINDOW 2>/dev/null | sed -n 's/.*window id # \(0x[0-9a-f]*\).*/\1/p'; }
stacking_order() { xprop -root _NET_CLIENT_LIST_STACKING 2>/dev/null | sed -n 's/.*window id # //p' | tr -d ' ' | tr ',' '\n'; }
x_window_pid() { xprop -id "$1" _NET_WM_PID 2>/dev/null | sed -n 's/.* = \([0-9]*\)$/\1/p'; }

# Where an X window is on the screen, "x y width height", while it is
# mapped; nothing when it is not (or is gone). (xwininfo's absolute place
# is right also inside a window manager's frame, where xdotool's is not.)
window_place() {  # X_WINDOW_ID
  xwininfo -id "$1" 2>/dev/null | awk '
    /Absolute upper-left X:/ {x = $4} /Absolute upper-left Y:/ {y = $4}
    /^  Width:/ {w = $2} /^  Height:/ {h = $2} /Map State: IsViewable/ {v = 1}
    END {if (v) print x, y, w, h}'
}

# The visible windows of Redoviri's process as "x y width height" lines.
# Each call is one look at the screen: take what a check needs from one
# call's output, since windows come and go between two calls.
redoviri_windows() {
  local id
  for id in $(xdotool search --onlyvisible --class redoviri.exe 2>/dev/null); do
    window_place "$id"
  done
}

# True when no show or hide animation of Redoviri runs (while one runs, the
# window it shows has no outline yet and takes no clicks).
animations_over() { probe frames >/dev/null; }

# True when a visible window of Redoviri has this size and no animation
# runs any more; prints its place.
redoviri_window_of_size() {
  redoviri_windows | awk -v w="$1" -v h="$2" '$3 == w && $4 == h {print $1, $2; found=1} END{exit !found}' &&
    animations_over
}

no_redoviri_window() { [ -z "$(redoviri_windows)" ]; }

# A left click on the tray icon, until the calendar shows: Wine's tray
# may miss a click while the icon is being put back.
click_tray_for_calendar() {  # TRAY_X TRAY_Y [W H]
  local try
  for try in 1 2 3; do
    xdotool mousemove $(($1 + 10)) $(($2 + 10)) click 1
    wait_for 10 redoviri_window_of_size "${3:-$(scaled 353)}" "${4:-$(scaled 311)}" >/dev/null && return 0
    note "the tray click showed no calendar in 10 s (try $try)"
  done
  return 1
}

# The X window that has the keyboard: the window manager's active window
# where one runs, else the X input focus.
keyboard_window() {
  local active
  active=$(xprop -root _NET_ACTIVE_WINDOW 2>/dev/null | awk '/window id/ {print $NF}')
  if [ -n "$active" ] && [ "$active" != "0x0" ]; then
    printf '%d\n' "$active"
  else
    xdotool getwindowfocus 2>/dev/null
  fi
}

# The program's control with the keyboard focus: "class, left top width
# height, text".
focused_control() { probe focus | sed -n 2p; }

# The keys typed next reach the program's window of this size: under a
# window manager it has the X focus (waited for; fails naming WHAT); on a
# bare display X gives the keys to the window under the pointer, which goes
# onto the window's top edge.
keys_to_window() {  # W H WHAT
  if [ "$E2E_WM" = openbox ]; then
    wait_for 10 keyboard_in_window_of_size "$1" "$2" || fail "$3 has not the X focus (it is with window $(keyboard_window))"
  else
    local x y
    # A window given the keyboard on a bare display is mapped again for
    # it: it may be off the screen for a moment.
    wait_for 10 redoviri_window_of_size "$1" "$2" >/dev/null || fail "$3 is not on the screen"
    read -r x y < <(redoviri_window_of_size "$1" "$2") || fail "$3 is not on the screen"
    xdotool mousemove $((x + 3)) $((y + 3))
  fi
}

# True when the window that has the keyboard has this size.
keyboard_in_window_of_size() {  # W H
  local id
  id=$(keyboard_window) && [ -n "$id" ] &&
    window_place "$id" | awk -v w="$1" -v h="$2" '$3 == w && $4 == h {found=1} END{exit !found}'
}

# Wine's own tray window ("Wine System Tray", no desktop tray under Xvfb):
# the place of its icon cells, "x y", while it shows icons. (Its frame is a
# window manager's, or Wine's own when Wine manages its windows itself.)
tray_place() {
  local place
  place=$(probe client "Wine System Tray") || return 1
  cut -d' ' -f1,2 <<<"$place"
}

tray_shown() { tray_place >/dev/null; }

# Takes a screenshot into FILE when the rectangle shows the same in two
# looks one after the other (painting has ended; a running clock line
# belongs outside it) and only one window of Redoviri is visible (no hint
# balloon); fails otherwise, to be tried again.
settled_shot() {  # FILE X Y W H
  local first second
  [ "$(redoviri_windows | grep -c .)" -eq 1 ] || return 1
  screenshot "$1.first.png" && sleep 0.1 && screenshot "$1"
  first=$(convert "$1.first.png" -crop "${4}x${5}+${2}+${3}" +repage rgb:- | md5sum)
  second=$(convert "$1" -crop "${4}x${5}+${2}+${3}" +repage rgb:- | md5sum)
  rm -f "$1.first.png"
  [ "$first" = "$second" ] && [ "$(redoviri_windows | grep -c .)" -eq 1 ]
}
tray_gone() { ! tray_shown; }

# Pixels of a colour "r,g,b" in a rectangle of a screenshot.
count_colour() {  # FILE X Y W H R,G,B
  convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -depth 8 txt:- |
    grep -c ": ($6)" || true
}

# Pixels that are not of a colour in a rectangle of a screenshot.
count_other() {  # FILE X Y W H R,G,B
  local all same
  all=$(( $4 * $5 ))
  same=$(count_colour "$@")
  echo $(( all - same ))
}

# The tray's icon cells (20 pixels each, from the tray window's left edge)
# that show anything but the tray's white background.
tray_icon_count() {  # FILE TRAY_X TRAY_Y
  local n=0 cell
  for cell in 0 1 2 3 4 5 6 7; do
    [ "$(count_other "$1" $(( $2 + 20 * cell )) "$3" 20 20 255,255,255)" -gt 20 ] && n=$((n + 1))
  done
  echo $n
}

# One look at the tray into FILE: whether it shows exactly N icons. The
# system tray repaints itself when another program starts in the prefix,
# and a look in the middle of that sees no icon, so callers wait for it;
# a look that saw more than N sets tray_too_many, which no later look
# takes back.
tray_too_many=
tray_shows_icons() {  # N FILE
  local n x y
  read -r x y < <(tray_place) || return 1
  screenshot "$2" || return 1
  n=$(tray_icon_count "$2" "$x" "$y")
  [ "$n" -gt "$1" ] && tray_too_many="$n icons"
  [ "$n" -eq "$1" ] && [ -z "$tray_too_many" ]
}

# A digest of what the open popup menu shows (its rectangle on the screen),
# or nothing when no menu is open.
menu_look() {
  local rect x y w h
  rect=$(probe menu) || return 1
  read -r x y w h <<<"$rect"
  import -window root -crop "${w}x${h}+${x}+${y}" +repage rgb:- 2>/dev/null | md5sum
}

# Opens the tray icon's menu with a right click and chooses an item by the
# keyboard, as a person would: "down N" steps N items down from no selection
# (the first Down selects the first item; separators are skipped), "up N"
# from the bottom; each key is waited for until the menu shows the selection
# moved. The menu's items: Show Calendar, Hide calendar, Edit new event,
# Looks, Help, About Redoviri by DUZOVU, Terminate Redoviri and Quit, OK,
# close the menu...
choose_item() {  # TRAY_X TRAY_Y down|up N [SCREENSHOT]
  xdotool mousemove $(($1 + 10)) $(($2 + 10)) click 3
  wait_for 30 probe menu >/dev/null || fail "the right click showed no menu"
  [ -n "${5:-}" ] && screenshot "$5"
  local key=Down i before
  [ "$3" = up ] && key=Up
  for i in $(seq "$4"); do
    before=$(menu_look) || fail "the menu closed before key $i"
    xdotool key "$key"
    wait_for 10 menu_moved "$before" ||
      fail "the menu's selection did not move on $key (key $i of $4); the keyboard focus is on the X window '$(xdotool getwindowfocus getwindowname 2>/dev/null)', the foreground window: $(probe focus | head -1)"
  done
  xdotool key Return
}
menu_moved() { local now; now=$(menu_look) && [ "$now" != "$1" ]; }

# "Terminate Redoviri and Quit": from no selection Up goes to the last item
# ("OK, close the menu...") and Up once more to Quit, the item above it.
choose_quit() {  # TRAY_X TRAY_Y
  choose_item "$1" "$2" up 2 "$SHOTS/menu.png"
}

# --- Timing what the screen shows.

# Microseconds since the epoch, from the shell's own clock.
now_us() { echo "${EPOCHREALTIME/[.,]/}"; }

# True when the condition holds now and, looked at again and again, for the
# next MS milliseconds; false at the first look where it does not.
holds_for() {  # MS COMMAND...
  local ms=$1 since
  shift
  since=$(now_us)
  "$@" || return 1
  while [ $(($(now_us) - since)) -lt $((ms * 1000)) ]; do "$@" || return 1; done
}

# True when Redoviri shows a whole window of this size: mapped and not cut
# to an outline (while a show or hide animation runs, the window is mapped
# with an empty outline and only the animation's frame is seen).
whole_window_shown() {  # W H
  local id
  for id in $(xdotool search --onlyvisible --class redoviri.exe 2>/dev/null); do
    xwininfo -shape -id "$id" 2>/dev/null | awk -v w="$1" -v h="$2" '
      /Map State: IsViewable/ {v = 1} /^  Width:/ {ww = $2} /^  Height:/ {hh = $2}
      /No window shape defined/ {whole = 1}
      END {exit !(v && ww == w && hh == h && whole)}' && return 0
  done
  return 1
}

# A visible window of Redoviri of this size, in any outline.
window_of_size_mapped() {  # W H
  redoviri_windows | awk -v w="$1" -v h="$2" '$3 == w && $4 == h {found = 1} END {exit !found}'
}

# Looks at the screen over and over, with no pause (one look takes some 10
# to 40 ms), until COMMAND succeeds; prints the milliseconds from START_US to
# the start of the look that saw it. Fails after LIMIT seconds.
ms_until() {  # START_US LIMIT_S COMMAND...
  local start=$1 limit=$(($2 * 1000000)) look
  shift 2
  while :; do
    look=$(now_us)
    "$@" && { echo $(((look - start) / 1000)); return 0; }
    [ $((look - start)) -le "$limit" ] || return 1
  done
}
