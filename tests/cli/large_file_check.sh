#!/usr/bin/env bash
# The tool (through a loader such as Wine when given) on event files near
# the size the store holds: 50 MB of one-letter lines loads, is listed and
# takes an added event; a file past 64 MB is refused with its message, and
# nothing is written (LARGE_FILE_LINES one-letter lines, 16.6 million by
# default). Usage:
#   large_file_check.sh [loader] <cli>
set -u
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
file=$dir/Redoviri.ini
fail() { echo "FAIL: $*"; exit 1; }

event='12082026;09:00;2;N;N;Y;N;0  ;Eva                           ;'
# LARGE_FILE_SHORTEST=1: two-byte lines (an LF alone ends each), the most
# lines 50 MB can hold and the most the store's memory must take.
if [ "${LARGE_FILE_SHORTEST:-0}" = 1 ]; then
  lines=${LARGE_FILE_LINES:-24900000}  # of two bytes each: 49.8 MB
  piece='x'
else
  lines=${LARGE_FILE_LINES:-16600000}  # of three bytes each: 49.8 MB
  piece=$'x\r'
fi
{ printf 'Redoviri by DUZOVU event file\r\n'; yes "$piece" | head -n "$lines"; printf '%s\r\n' "$event"; } >"$file"

start=$(date +%s%N)
out=$("$@" today --file "$file" --date 2026-12-08 2>&1) || fail "today: $out"
echo "today over $(stat -c %s "$file") bytes: $(( ($(date +%s%N) - start) / 1000000 )) ms"
printf '%s\n' "$out" | grep -q $'^counts\t0\t1\t' || fail "today counted: $out"
count=$("$@" list --file "$file" | wc -l)
[ "$count" -eq $((lines + 1)) ] || fail "list gave $count lines, not $((lines + 1))"
out=$("$@" add --file "$file" --category 6 --date 2026-12-09 --time none --name Big --once 2>&1) || fail "add: $out"
tail -c 200 "$file" | grep -q "Big" || fail "the added event is not at the end of the file"

# Past the limit: refused, exit 3, the file as it was.
head -c $((64 * 1024 * 1024 - $(stat -c %s "$file") + 2)) /dev/zero | tr '\0' 'y' >>"$file"
before=$(md5sum <"$file")
out=$("$@" add --file "$file" --category 6 --date 2026-12-10 --time none --name Bigger --once 2>&1)
status=$?
[ "$status" -eq 3 ] || fail "add to a file past 64 MB exited $status: $out"
printf '%s\n' "$out" | grep -q "The event file is larger than 64 MB" || fail "no message: $out"
[ "$(md5sum <"$file")" = "$before" ] || fail "the file past 64 MB was written"
echo "ok: 50 MB of short lines load; past 64 MB refused"
