#!/usr/bin/env bash
# The Windows installer end to end, in a fresh copy of the Wine prefix:
#   bash e2e_installer.sh SETUP_EXE PROBE_EXE GRANT_USERS_EXE REDOVIRI_EXE CLI_EXE VERSION
# - the permission helper on a scratch folder: the DACL it builds keeps the
#   folder's ACEs and adds exactly one allow ACE for Users (S-1-5-32-545),
#   modify rights, folder and files only (OI|NP, no CI);
# - a silent install (/S): the programs in bin (the files just built), the
#   uninstaller, the Start-menu and Startup shortcuts pointing into bin, the
#   Add/Remove entry with the version, the helper's record of the data folder;
# - the installed redoviri-cli.exe adds an event to the fixed event file;
# - the installed Redoviri.exe starts (splash, tray icon) and its tray
#   menu's Quit ends it;
# - a silent uninstall removes bin, the shortcuts and the registry entry and
#   keeps the event file; a reinstall keeps it too;
# - a silent upgrade and uninstall over the running program end it and replace or remove Redoviri.exe.
#
# Wine 8 does not store file DACLs (SetNamedSecurityInfo succeeds, reading
# back gives a synthesized default) and its icacls is a stub, so the DACL is
# checked as the helper built it (its "dacl" and "users-ace" lines); its
# "stored" line shows what Wine reports and is only printed.
source "$(dirname "$0")/e2e_lib.sh" "$@"
SETUP_EXE=$1
HELPER_EXE=$3
BUILT_PROGRAM=$4
BUILT_CLI=$5
VERSION=$6
# No Linux menu entries for the shortcuts (Wine's winemenubuilder).
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
e2e_start

DATA="$WINEPREFIX/drive_c/Program Files/Redoviri by DUZOVU"
BIN="$DATA/bin"
EVENT_FILE="$DATA/Redoviri.ini"
START_MENU="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Redoviri.lnk"
STARTUP=$(find "$WINEPREFIX/drive_c/users" -type d -ipath '*/Start Menu/Programs/Startup' | head -1)
[ -n "$STARTUP" ] || fail "no Startup folder in the prefix"
STARTUP="$STARTUP/Redoviri.lnk"
UNINST_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Redoviri'
TARGET='C:\Program Files\Redoviri by DUZOVU\bin\Redoviri.exe'
USERS_ACE='(A;OINP;0x1301bf;;;BU)'
USERS_LINE='users-ace: sid=S-1-5-32-545 mask=0x001301bf flags=0x05'

win() { "$WINE" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
quiet() { "$WINE" "$@" </dev/null >/dev/null 2>&1; }
reg_value() { win reg query "$UNINST_KEY" /v "$1" | awk -v n="$1" '$1 == n {sub(/^[ \t]*[^ \t]+[ \t]+[^ \t]+[ \t]+/, ""); print}'; }
key_gone() { ! "$WINE" reg query "$UNINST_KEY" </dev/null >/dev/null 2>&1; }
# The SDDL ACEs of a "dacl:" or "stored:" line, one a line.
aces() { grep "^$1: " | sed "s/^$1: D:[A-Z]*//" | grep -o '([^)]*)'; }

# Checks a helper output (stdout or the record) for the folder it names.
check_grant() {  # OUTPUT FOLDER
  grep -qxF "folder: $2" <<<"$1" || fail "the helper worked on another folder: $1"
  [ "$(grep -cxF "$USERS_LINE" <<<"$1")" -eq 1 ] || fail "no Users ACE with modify rights, OI|NP: $1"
  [ "$(grep -c '^users-ace:' <<<"$1")" -eq 1 ] || fail "more than one Users ACE: $1"
  local dacl stored
  dacl=$(aces dacl <<<"$1")
  stored=$(aces stored <<<"$1")
  [ "$(grep -cxF "$USERS_ACE" <<<"$dacl")" -eq 1 ] || fail "the DACL lacks $USERS_ACE: $1"
  # Nothing else for Users, and nothing in it that reaches subfolders.
  [ "$(grep -c ';BU)$\|;S-1-5-32-545)$' <<<"$dacl")" -eq 1 ] || fail "another ACE for Users: $1"
  [ -n "$stored" ] || fail "no stored DACL reported: $1"
  # The folder's own ACEs stay (Wine reports the same default before and after).
  local ace
  while read -r ace; do
    grep -qxF "$ace" <<<"$dacl" || fail "the new DACL dropped $ace: $1"
  done <<<"$(grep -vxF "$USERS_ACE" <<<"$stored")"
}

# --- The helper on a scratch folder.
mkdir -p "$WINEPREFIX/drive_c/scratch folder"
out=$("$WINE" "$HELPER_EXE" 'C:\scratch folder' </dev/null 2>&1) || fail "the helper failed: $out"
out=$(tr -d '\r' <<<"$out")
note "$out"
check_grant "$out" 'C:\scratch folder'
"$WINE" "$HELPER_EXE" 'C:\no such folder' </dev/null >/dev/null 2>&1 && fail "the helper succeeded on a missing folder"

# --- Silent install.
"$WINE" "$SETUP_EXE" /S </dev/null >/dev/null 2>&1 || fail "the silent install failed ($?)"
cmp -s "$BIN/Redoviri.exe" "$BUILT_PROGRAM" || fail "bin\\Redoviri.exe is not the program built"
cmp -s "$BIN/redoviri-cli.exe" "$BUILT_CLI" || fail "bin\\redoviri-cli.exe is not the tool built"
[ -f "$BIN/uninstall.exe" ] || fail "no uninstaller"
code=$(find "$DATA" -maxdepth 1 -type f \( -iname '*.exe' -o -iname '*.dll' \))
[ -z "$code" ] || fail "program code in the folder users may write: $code"
for lnk in "$START_MENU" "$STARTUP"; do
  [ -f "$lnk" ] || fail "no shortcut $lnk"
  strings -n 6 "$lnk" | grep -qxF "$TARGET" || fail "$lnk does not point at $TARGET"
done
[ "$(reg_value DisplayVersion)" = "$VERSION" ] || fail "DisplayVersion is '$(reg_value DisplayVersion)', not $VERSION"
[ "$(reg_value DisplayName)" = Redoviri ] || fail "DisplayName is '$(reg_value DisplayName)'"
icon=$(reg_value DisplayIcon)
[ "$icon" = 'C:\Program Files\Redoviri by DUZOVU\bin\redoviri.ico' ] && [ -s "$BIN/redoviri.ico" ] ||
  fail "DisplayIcon '$icon' names no installed icon"
[ "$(reg_value UninstallString)" = '"C:\Program Files\Redoviri by DUZOVU\bin\uninstall.exe"' ] ||
  fail "UninstallString is '$(reg_value UninstallString)'"
record=$(tr -d '\r' <"$BIN/setup-permissions.txt") || fail "no permission record in bin"
check_grant "$record" 'C:\Program Files\Redoviri by DUZOVU'
note "as Wine reports the data folder's DACL: $(grep '^stored:' <<<"$record")"

# --- The installed command-line tool writes the event file in the data folder.
day="$(date +%Y-%m)-15"
win "$BIN/redoviri-cli.exe" add --file 'c:\program files\Redoviri by DUZOVU\Redoviri.ini' \
  --category 2 --date "$day" --time 09:30 --name Anna >/dev/null || fail "redoviri-cli add failed"
[ "$(head -c 29 "$EVENT_FILE")" = "Redoviri by DUZOVU event file" ] || fail "no event file: $(ls "$DATA")"
grep -q "^$(date +%m)15$(date +%Y);09:30;2;.*Anna" "$EVENT_FILE" || fail "the event is not in $(cat -A "$EVENT_FILE")"
# The lock file stays beside the event file by design; no rewrite is left half done.
[ ! -e "$EVENT_FILE.new" ] || fail "the tool left Redoviri.ini.new"
events=$(md5sum <"$EVENT_FILE")

# --- The installed program starts and its tray menu ends it.
REDOVIRI_EXE=$BIN/Redoviri.exe
start_until_tray "the installed program"
choose_quit "$tray_x" "$tray_y"
wait_for 60 process_ended "$pid" || fail "Quit did not end the installed program"

# --- Silent uninstall (the uninstaller runs a copy of itself from %TEMP%).
"$WINE" "$BIN/uninstall.exe" /S </dev/null >/dev/null 2>&1 || fail "the silent uninstall failed"
wait_for 60 test ! -e "$BIN" || fail "bin stayed: $(ls "$BIN")"
[ ! -e "$START_MENU" ] || fail "the Start-menu shortcut stayed"
[ ! -e "$STARTUP" ] || fail "the Startup shortcut stayed"
key_gone || fail "the Add/Remove entry stayed"
[ "$(md5sum <"$EVENT_FILE")" = "$events" ] || fail "the uninstall changed or removed the event file"

# --- A reinstall keeps the event file.
"$WINE" "$SETUP_EXE" /S </dev/null >/dev/null 2>&1 || fail "the reinstall failed ($?)"
cmp -s "$BIN/Redoviri.exe" "$BUILT_PROGRAM" || fail "the reinstall put no program in bin"
[ "$(reg_value DisplayVersion)" = "$VERSION" ] || fail "the reinstall wrote no Add/Remove entry"
[ "$(md5sum <"$EVENT_FILE")" = "$events" ] || fail "the reinstall changed the event file"
check_grant "$(tr -d '\r' <"$BIN/setup-permissions.txt")" 'C:\Program Files\Redoviri by DUZOVU'

# --- Over the running program (the old one ends in a byte more, to be told apart).
{ cat "$BUILT_PROGRAM"; echo; } >"$BIN/Redoviri.exe"
start_until_tray "the program before the upgrade"
quiet "$SETUP_EXE" /S && cmp -s "$BIN/Redoviri.exe" "$BUILT_PROGRAM" || fail "the upgrade over the running program failed or kept its exe"
wait_for 20 process_ended "$pid" && wait_for 20 tray_gone || fail "the upgrade left the program or its tray icon"
start_until_tray "the upgraded program"
quiet "$BIN/uninstall.exe" /S && wait_for 60 test ! -e "$BIN/Redoviri.exe" || fail "the uninstall over the running program failed or kept its exe"
wait_for 20 process_ended "$pid" && [ "$(md5sum <"$EVENT_FILE")" = "$events" ] || fail "the uninstall left the program, or the event file changed"
echo "installer: install, event added by the installed tool, program started and quit, uninstall and reinstall kept the event file"
