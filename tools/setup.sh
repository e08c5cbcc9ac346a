#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12 / Ubuntu, and does
# nothing (quickly) when everything is already there. Run it; sourcing it
# would change the caller's shell options.
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
           wine wine64 wine32:i386 xvfb openbox xdotool x11-utils imagemagick locales fonts-liberation
           x11vnc novnc websockify
           python3-ephem nsis)
wanted_locales=(en_US.UTF-8 en_GB.UTF-8 fr_FR.UTF-8 de_DE.UTF-8)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${need_pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}" >&2
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  as_root apt-get update -qq
  as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
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
# 32-bit exe still runs under Wine (slowly); the bulk of the Windows tests then
# run from the 64-bit build under wine64.
if ! redoviri_32bit_native && ! redoviri_32bit_emulated; then
  if [ ! -x /usr/bin/qemu-i386-static ]; then
    as_root apt-get install -y -qq --no-install-recommends qemu-user-static >/dev/null
  fi
  if [ -d /proc/sys/fs/binfmt_misc ] && [ ! -e /proc/sys/fs/binfmt_misc/register ]; then
    as_root mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc 2>/dev/null || true
  fi
  if [ -w /proc/sys/fs/binfmt_misc/register ] && [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
      | as_root tee /proc/sys/fs/binfmt_misc/register >/dev/null 2>&1 || true
  fi
fi
