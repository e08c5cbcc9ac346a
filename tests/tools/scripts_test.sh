#!/usr/bin/env bash
# The set-up and test scripts against stand-ins: tools/setup.sh with an
# apt-get whose index fails and whose i386 packages do not install,
# tools/wine-isolated.sh with a Wine that is killed after (or before) its
# clean end, and the choice of builds in tools/machine.sh.
# tests/tools/scripts_test.sh <source root>
set -uo pipefail
root=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # check <description> <command...>
  local what=$1; shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}

# ---- tools/setup.sh --------------------------------------------------------
stand_ins=$work/bin
mkdir -p "$stand_ins"
cat >"$stand_ins/apt-get" <<'EOT'
#!/usr/bin/env bash
echo "apt-get $*" >>"$STATE/calls"
case $1 in
  update)
    n=$(cat "$STATE/update_fails")
    if [ "$n" -gt 0 ]; then
      echo $((n - 1)) >"$STATE/update_fails"
      echo "E: Failed to fetch http://mirror/binary-i386/Packages.xz  File has unexpected size (1 != 2). Mirror sync in progress?"
      echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
      exit 100
    fi ;;
  install)
    pkgs=()
    for a in "${@:2}"; do case $a in -*) ;; *) pkgs+=("$a") ;; esac; done
    for p in "${pkgs[@]}"; do
      if grep -qx "$p" "$STATE/broken"; then
        echo "E: Unable to correct problems, you have held broken packages."
        exit 100
      fi
    done
    printf '%s\n' "${pkgs[@]}" >>"$STATE/installed" ;;
esac
EOT
cat >"$stand_ins/dpkg-query" <<'EOT'
#!/usr/bin/env bash
grep -qx "${!#}" "$STATE/installed" && printf 'install ok installed'
EOT
cat >"$stand_ins/dpkg" <<'EOT'
#!/usr/bin/env bash
[ "$1" = --print-foreign-architectures ] && echo i386
exit 0
EOT
cat >"$stand_ins/locale" <<'EOT'
#!/usr/bin/env bash
printf '%s\n' C en_US.utf8 en_GB.utf8 fr_FR.utf8 de_DE.utf8
EOT
cat >"$stand_ins/sudo" <<'EOT'
#!/usr/bin/env bash
exec "$@"
EOT
chmod +x "$stand_ins"/*

all_pkgs=$(sed -n '/^need_pkgs=(/,/)/p' "$root/tools/setup.sh" | tr -d '()' | sed 's/need_pkgs=//' | tr -s ' \n' '\n' | sed '/^$/d')

run_setup() {  # run_setup <update failures> <broken packages> <installed: none|all>
  export STATE=$work/state
  rm -rf "$STATE"; mkdir -p "$STATE"
  echo "$1" >"$STATE/update_fails"
  printf '%s\n' $2 >"$STATE/broken"
  : >"$STATE/calls"
  if [ "$3" = all ]; then echo "$all_pkgs" >"$STATE/installed"; printf 'wine32:i386\n' >>"$STATE/installed"
  else : >"$STATE/installed"; fi
  PATH=$stand_ins:$PATH REDOVIRI_SETUP_PAUSE=0 REDOVIRI_32BIT=emulated REDOVIRI_WINE32=$work/no-wine32 \
    bash "$root/tools/setup.sh" >"$STATE/out" 2>&1
  echo $? >"$STATE/status"
}
status_is() { [ "$(cat "$STATE/status")" = "$1" ]; }
said() { grep -q -- "$1" "$STATE/out"; }
updates_were() { [ "$(grep -c '^apt-get update' "$STATE/calls")" = "$1" ]; }
installed_all() { local p; for p in $all_pkgs; do grep -qx "$p" "$STATE/installed" || return 1; done; }
installed_all_but() { local p; for p in $all_pkgs; do [ "$p" = "$1" ] && continue; grep -qx "$p" "$STATE/installed" || return 1; done; }
not_installed() { ! grep -qx "$1" "$STATE/installed"; }

run_setup 1 "wine32:i386" none
check "setup: an index failing once is tried again" updates_were 2
check "setup: without the i386 Wine it succeeds" status_is 0
check "setup: ... with a note naming the package and apt's error" said "note: wine32:i386 could not be installed (E: Unable to correct problems"
check "setup: ... after installing everything else" installed_all

run_setup 9 "nsis" none
check "setup: an index that keeps failing is tried three times" updates_were 3
check "setup: a needed package missing fails it" status_is 1
check "setup: ... naming the package, apt's error and the index's" \
  said "setup failed: could not install nsis: E: Unable to correct problems, you have held broken packages. (package index: E: Failed to fetch"
check "setup: ... after installing what it could" installed_all_but nsis

run_setup 9 "" all
check "setup: nothing missing, apt-get is not run" test ! -s "$STATE/calls"
check "setup: ... and it succeeds quietly" status_is 0

# ---- tools/machine.sh: which builds run ------------------------------------
builds() {  # builds <32bit> <wine32 present: yes|no> [run 32-bit]: prints "<suites>_<program>"
  local wine32=$work/no-wine32
  [ "$2" = yes ] && { wine32=$work/wine32; : >"$wine32"; chmod +x "$wine32"; }
  REDOVIRI_32BIT=$1 REDOVIRI_WINE32=$wine32 REDOVIRI_RUN_32BIT=${3:-0} bash -c \
    '. "$0/tools/machine.sh"; echo "$(redoviri_windows_build)_$(redoviri_program_build)"' "$root"
}
while read -r kind wine32 run32 expected; do
  check "builds: 32-bit $kind, wine32 $wine32, REDOVIRI_RUN_32BIT=$run32 -> $expected" \
    test "$(builds "$kind" "$wine32" "$run32")" = "$expected"
done <<'EOT'
native   yes 0 win32_win32
native   no  0 win64_win64
emulated yes 0 win64_win64
emulated yes 1 win64_win32
none     yes 0 win64_win64
EOT

# ---- tools/wine-isolated.sh: a run killed after its end --------------------
# The stand-in Wine writes a report (with or without a failure) and an end
# mark (or none), then ends as the program would or is killed.
wine_bin=$work/wine-bin
mkdir -p "$wine_bin" "$work/prefix"
: >"$work/prefix/.redoviri-ready"
cat >"$wine_bin/wine" <<'EOT'
#!/usr/bin/env bash
for a; do case $a in --gtest_output=xml:Z:*) report=${a#--gtest_output=xml:Z:} ;; esac; done
printf '<testsuites tests="2" failures="%s" errors="0">\n</testsuites>\n' "$FAILURES" >"$report"
[ -n "$MARK" ] && printf '%s\n' "$MARK" >"${REDOVIRI_END_MARK#Z:}"
[ "$END" = killed ] && kill -9 $$
exit "$END"
EOT
printf '#!/bin/sh\nexit 0\n' >"$wine_bin/wineserver"
chmod +x "$wine_bin"/*
printf 'not a program\n' >"$work/prog.exe"
mkdir -p "$root/build"

isolated() {  # isolated <failures> <mark> <end>: prints the status and whether it was noted killed
  rm -f "$work/report.xml" "$work/report.killed"
  PATH=$wine_bin:$PATH WINEPREFIX=$work/prefix REDOVIRI_WM=none FAILURES=$1 MARK=$2 END=$3 \
    bash "$root/tools/wine-isolated.sh" "$work/prog.exe" "--gtest_output=xml:Z:$work/report.xml" >/dev/null 2>&1
  local status=$?
  if [ -e "$work/report.killed" ]; then echo "$status noted"; else echo "$status -"; fi
}
while IFS='|' read -r failed mark end expected what; do
  check "wine-isolated: $what" test "$(isolated "$failed" "$mark" "$end")" = "$expected"
done <<'EOT'
0|ended 0|killed|0 noted|killed after its end mark, report clean: passed and noted
0||killed|137 -|killed with a clean report but no end mark: failed
1|ended 1|killed|137 -|killed after a failed run: failed
0|ended 0|0|0 -|a clean end: passed
0||3|3 -|an ordinary failure status: kept
EOT

# ---- tools/summarize_tests.py: such runs are counted on the last line -------
results=$work/build/win64/results
mkdir -p "$results"
cat >"$results/ctest.xml" <<'EOT'
<testsuite><testcase name="prog" status="run"/><testcase name="other" status="run"/></testsuite>
EOT
printf '<testsuites><testsuite><testcase classname="A" name="a"/><testcase classname="A" name="b"/></testsuite></testsuites>\n' \
  >"$results/prog.xml"
summary() { python3 "$root/tools/summarize_tests.py" "$results" 2>/dev/null; }
check "summary: no killed run, the plain last line" test "$(summary)" = "3 passed, 0 failed"
: >"$results/prog.killed"
check "summary: a run killed after its clean end is counted" test "$(summary)" = "3 passed, 0 failed; 1 killed after a clean end"

[ "$failures" -eq 0 ]
