#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12 / Ubuntu, and does
# nothing (quickly) when everything is already there. Run it; sourcing it
# would change the caller's shell options.
#
# A package index that fails to download (a mirror in the middle of a sync)
# is tried again three times with growing pauses; then the lists apt has are
# used. Packages are installed together, and one by one when that fails, so
# that one broken package does not keep the others out. The run fails only
# when a package it needs is still missing, naming them and apt's error.
# The 32-bit Wine (wine32:i386) is optional: without it the Windows suites run
# from the 64-bit build and the 32-bit program is built but not run; the
# note says so.
#
# REDOVIRI_SETUP_PAUSE (3) is the first pause in seconds between tries of the
# index; each later pause is twice as long.
if [ "${BASH_SOURCE[0]}" != "$0" ]; then
  echo "tools/setup.sh is to be run, not sourced: bash tools/setup.sh" >&2
  return 1
fi
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=tools/machine.sh
source "$root/tools/machine.sh"

need_pkgs=(cmake ninja-build g++ clang libclang-rt-14-dev python3 file ccache googletest libgtest-dev libbenchmark-dev
           python3-icalendar python3-dateutil
           mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
           wine wine64 xvfb openbox xdotool x11-utils imagemagick locales fonts-liberation
           x11vnc novnc websockify
           python3-ephem nsis)
# Only the 32-bit program's runs need these.
optional_pkgs=(wine32:i386)
wanted_locales=(en_US.UTF-8 en_GB.UTF-8 fr_FR.UTF-8 de_DE.UTF-8)
pause=${REDOVIRI_SETUP_PAUSE:-3}

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

missing_of() {  # missing_of <package...>: prints those not installed
  local p
  for p in "$@"; do installed "$p" || echo "$p"; done
}

apt_log=$(mktemp)
trap 'rm -f "$apt_log"' EXIT
export DEBIAN_FRONTEND=noninteractive

# apt's errors of its last run, on one line.
apt_errors() { grep -E '^(E|Err):' "$apt_log" | head -3 | tr '\n' ' ' | sed 's/ *$//'; }

apt_update() {
  local try wait=$pause
  for try in 1 2 3; do
    if as_root apt-get update -qq >"$apt_log" 2>&1 && ! grep -q '^E:' "$apt_log"; then
      return 0
    fi
    if [ "$try" -lt 3 ]; then
      echo "setup: the package index failed to download (try $try of 3), trying again in ${wait}s: $(apt_errors)" >&2
      sleep "$wait"
      wait=$((wait * 2))
    fi
  done
  echo "setup: note: the package index still fails ($(apt_errors)); going on with the lists apt has" >&2
  update_error=$(apt_errors)
  return 0
}

apt_install() {  # apt_install <package...>: installs what it can; the log keeps the last error
  as_root apt-get install -y -qq --no-install-recommends "$@" >"$apt_log" 2>&1 && return 0
  local errors p
  errors=$(apt_errors)
  if [ $# -gt 1 ]; then
    for p in "$@"; do
      as_root apt-get install -y -qq --no-install-recommends "$p" >"$apt_log" 2>&1 || errors=$(apt_errors)
    done
  fi
  printf 'E: %s\n' "${errors#E: }" >"$apt_log"
  return 1
}

update_error=
mapfile -t missing < <(missing_of "${need_pkgs[@]}")
mapfile -t missing_optional < <(missing_of "${optional_pkgs[@]}")

if [ ${#missing[@]} -gt 0 ] || [ ${#missing_optional[@]} -gt 0 ]; then
  echo "setup: installing $(echo "${missing[*]} ${missing_optional[*]}" | xargs)" >&2
  if [ ${#missing_optional[@]} -gt 0 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
  fi
  apt_update
  install_error=
  if [ ${#missing[@]} -gt 0 ] && ! apt_install "${missing[@]}"; then
    install_error=$(apt_errors)
  fi
  mapfile -t still < <(missing_of "${need_pkgs[@]}")
  if [ ${#still[@]} -gt 0 ]; then
    echo "setup failed: could not install ${still[*]}: ${install_error:-apt-get install failed}${update_error:+ (package index: $update_error)}" >&2
    exit 1
  fi
  if [ ${#missing_optional[@]} -gt 0 ] && ! apt_install "${missing_optional[@]}"; then
    echo "setup: note: ${missing_optional[*]} could not be installed ($(apt_errors)): the 32-bit program is built but not run here; the Windows suites run from the 64-bit build" >&2
  fi
fi

# Mozilla's ical.js for the iCalendar check (tests/cli/icaljs): node and npm
# from the system's packages when either is missing (a node installed
# otherwise, such as NodeSource's, brings its own npm), then `npm ci` from
# the lock file, only when the lock file is newer than the last install.
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  echo "setup: installing nodejs npm" >&2
  apt_update
  if ! apt_install nodejs npm; then
    echo "setup failed: could not install nodejs npm: $(apt_errors)${update_error:+ (package index: $update_error)}" >&2
    exit 1
  fi
fi
icaljs=$root/tests/cli/icaljs
if [ ! -f "$icaljs/node_modules/.package-lock.json" ] ||
   [ "$icaljs/package-lock.json" -nt "$icaljs/node_modules/.package-lock.json" ]; then
  # The registry may fail for a moment: three tries, then the check that
  # needs it is skipped (it says so) rather than the whole run failing.
  wait=$pause
  for try in 1 2 3; do
    (cd "$icaljs" && npm ci --no-audit --no-fund --loglevel=error) >"$apt_log" 2>&1 && break
    if [ "$try" -lt 3 ]; then
      sleep "$wait"
      wait=$((wait * 2))
    else
      echo "setup: note: npm ci in tests/cli/icaljs failed, the ical.js check will be skipped: $(tail -3 "$apt_log" | tr '\n' ' ')" >&2
    fi
  done
fi

# Wine follows LANG only for locales generated on the Linux side.
gen=0
for l in "${wanted_locales[@]}"; do
  name=${l%.UTF-8}
  if ! locale -a 2>/dev/null | grep -qix "${name}.utf8"; then
    as_root sed -i "s/^# *\(${l//./\\.} UTF-8\)/\1/" /etc/locale.gen
    grep -q "^${l//./\\.} UTF-8" /etc/locale.gen || echo "${l} UTF-8" | as_root tee -a /etc/locale.gen >/dev/null
    gen=1
  fi
done
if [ "$gen" -eq 1 ]; then
  as_root locale-gen >/dev/null
fi

# 32-bit Linux programs (Wine's 32-bit loader) cannot run on some kernels and
# sandboxes. There, qemu's user-mode emulator is registered for them, so the
# 32-bit exe still runs under Wine (slowly) for its smoke tests; the bulk of
# the Windows tests run from the 64-bit build under wine64. Without the
# 32-bit Wine there is nothing to emulate.
if redoviri_wine32_installed && ! redoviri_32bit_native && ! redoviri_32bit_emulated; then
  if [ ! -x /usr/bin/qemu-i386-static ] && ! apt_install qemu-user-static; then
    echo "setup: note: qemu-user-static could not be installed ($(apt_errors)): the 32-bit program is built but not run here" >&2
  fi
  if [ -x /usr/bin/qemu-i386-static ]; then
    if [ -d /proc/sys/fs/binfmt_misc ] && [ ! -e /proc/sys/fs/binfmt_misc/register ]; then
      as_root mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc 2>/dev/null || true
    fi
    if [ -w /proc/sys/fs/binfmt_misc/register ] && [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
      printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
        | as_root tee /proc/sys/fs/binfmt_misc/register >/dev/null 2>&1 || true
    fi
  fi
fi
exit 0
