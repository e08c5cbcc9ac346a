# Sourced by the scripts that run Windows executables: a private Wine prefix
# under build/, a virtual display, and a running wineserver for the duration.
# Defines redoviri_wine_start and redoviri_wine_stop, and redoviri_start_wm
# for the window manager of a virtual display.

REDOVIRI_ROOT=${REDOVIRI_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
# shellcheck source=tools/machine.sh
source "$REDOVIRI_ROOT/tools/machine.sh"
export WINEPREFIX=${WINEPREFIX:-$REDOVIRI_ROOT/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}

# The Wine loader for an executable: wine64 for 64-bit PE files, wine else.
redoviri_wine_for() {
  if file -b "$1" 2>/dev/null | grep -q 'x86-64'; then echo "$REDOVIRI_WINE64"; else echo wine; fi
}

# Starts a virtual display of its own (Xvfb picks a free number and writes
# it to fd 3); exports DISPLAY and sets REDOVIRI_XVFB_PID. Returns non-zero
# when Xvfb did not start. (-noreset: by default the server resets when its
# last client goes, and refuses connections meanwhile; a check with xdpyinfo
# followed by the window manager's start ran into that.)
redoviri_start_display() {  # [WIDTHxHEIGHT]
  local numfile
  numfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -nolisten tcp -noreset 3>"$numfile" >/dev/null 2>&1 &
  REDOVIRI_XVFB_PID=$!
  for _ in $(seq 100); do [ -s "$numfile" ] && break; sleep 0.1; done
  if [ ! -s "$numfile" ]; then
    rm -f "$numfile"
    return 1
  fi
  export DISPLAY=":$(tr -d '\n' <"$numfile")"
  rm -f "$numfile"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}

# True when a window manager runs on $DISPLAY: the root window names its
# check window, and that window exists (it goes with the manager).
redoviri_wm_running() {
  local check
  check=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | sed -n 's/.*window id # \(0x[0-9a-f]*\).*/\1/p')
  [ -n "$check" ] && xprop -id "$check" _NET_WM_NAME >/dev/null 2>&1
}

# Starts a window manager on $DISPLAY, as a desktop would have: "openbox"
# (the default; with tools/openbox-rc.xml, waited for until it manages the
# screen), "none" (a bare display: focus follows the pointer, and Wine waits
# two seconds in vain for the manager whenever it maps or unmaps a window it
# would leave to one) or "unmanaged" (no manager, and Wine told to place,
# stack and focus all its windows itself: this writes Managed=N into the
# registry of $WINEPREFIX, so give it a prefix of its own). Sets
# REDOVIRI_WM_PID; the manager's output goes to LOG. Returns non-zero when it
# did not start.
redoviri_start_wm() {  # [openbox|none|unmanaged] [LOG]
  local kind=${1:-openbox} log=${2:-/dev/null}
  case $kind in
    none) return 0 ;;
    unmanaged)
      "$REDOVIRI_WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >"$log" 2>&1 ||
        return 1
      # The processes that this start left running (explorer with the tray
      # window) read the setting before it was written: end them.
      wineserver -k >/dev/null 2>&1
      wineserver -w >/dev/null 2>&1
      return 0 ;;
    openbox) ;;
    *) echo "unknown window manager '$kind' (openbox, none or unmanaged)" >&2; return 1 ;;
  esac
  openbox --config-file "$REDOVIRI_ROOT/tools/openbox-rc.xml" >"$log" 2>&1 </dev/null &
  REDOVIRI_WM_PID=$!
  for _ in $(seq 100); do
    redoviri_wm_running && return 0
    kill -0 "$REDOVIRI_WM_PID" 2>/dev/null || break
    sleep 0.1
  done
  echo "openbox did not start on $DISPLAY" >&2
  redoviri_stop_wm
  return 1
}

redoviri_stop_wm() {
  if [ -n "${REDOVIRI_WM_PID:-}" ]; then
    kill "$REDOVIRI_WM_PID" 2>/dev/null
    wait "$REDOVIRI_WM_PID" 2>/dev/null
    unset REDOVIRI_WM_PID
  fi
  return 0
}

redoviri_wine_start() {
  if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    redoviri_start_display
  fi
  if [ ! -f "$WINEPREFIX/.redoviri-ready" ] || [ ! -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ]; then
    echo "wine: preparing the prefix $WINEPREFIX (first run only)" >&2
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    "$REDOVIRI_WINE64" wineboot -u </dev/null >/dev/null 2>&1 || true
    wineserver -w
    # A crash must end the test, not wait in winedbg's dialog.
    "$REDOVIRI_WINE64" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
    wineserver -w
    echo disable > "$WINEPREFIX/.update-timestamp"
    if [ -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ]; then
      touch "$WINEPREFIX/.redoviri-ready"
    else
      echo "wine: preparing the prefix failed" >&2
    fi
  fi
  if [ "${1:-}" = persistent ]; then
    # Keeps Wine starts fast for a whole test run; redoviri_wine_stop ends it.
    wineserver -p >/dev/null 2>&1
    REDOVIRI_WINESERVER_OWNED=1
    # The first Wine process starts services that outlive it; start them now,
    # detached from any test's output pipe, so no test waits for them.
    "$REDOVIRI_WINE64" cmd /c exit </dev/null >/dev/null 2>&1
  fi
}

redoviri_wine_stop() {
  redoviri_stop_wm
  if [ -n "${REDOVIRI_WINESERVER_OWNED:-}" ]; then
    wineserver -k >/dev/null 2>&1 || true
    unset REDOVIRI_WINESERVER_OWNED
  fi
  if [ -n "${REDOVIRI_XVFB_PID:-}" ]; then
    kill "$REDOVIRI_XVFB_PID" 2>/dev/null || true
    unset REDOVIRI_XVFB_PID
  fi
}
