#!/usr/bin/env bash
# Runs redoviri-cli (through a loader such as Wine when given) on each golden
# case and compares its output byte for byte. Usage:
#   golden_check.sh <golden-dir> [loader] <cli>
# GOLDEN_CASES, when set, keeps only the files whose names it lists.
# A golden file is named after the arguments: "moon_2000-01.txt" holds the
# output of "moon 2000-01"; "_" separates arguments, and ":" is written "_"
# after the hour in file names ("astro_2000-01-01T12_00.txt").
set -u
dir=$1; shift
diffs=$(mktemp)
trap 'rm -f "$diffs"' EXIT
status=0
for f in "$dir"/*.txt; do
  base=$(basename "$f" .txt)
  if [ -n "${GOLDEN_CASES:-}" ] && ! printf ' %s ' "$GOLDEN_CASES" | grep -q " $base "; then
    continue
  fi
  cmd=${base%%_*}
  arg=${base#*_}
  arg=$(printf '%s' "$arg" | sed -E 's/T([0-9]{2})_([0-9]{2})/T\1:\2/')
  got=$("$@" "$cmd" "$arg" 2>/dev/null; echo x)
  if ! diff -u "$f" <(printf '%s' "${got%x}") >"$diffs"; then
    echo "golden mismatch: $cmd $arg"
    head -20 "$diffs"
    status=1
  else
    echo "ok: $cmd $arg"
  fi
done
exit $status
