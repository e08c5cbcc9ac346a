# What this machine can run; sourced by the scripts (and read by the 64-bit
# toolchain file for the Wine loader). Defines no behaviour of its own.
#
# REDOVIRI_32BIT (native, emulated or none) tells the scripts what 32-bit
# Linux programs do here instead of looking; the tests of the scripts set it.

# The 64-bit Wine loader (Debian's wine64 package installs it here, not on
# the PATH), and the 32-bit one (Debian's wine32:i386).
REDOVIRI_WINE64=${REDOVIRI_WINE64:-/usr/lib/wine/wine64}
REDOVIRI_WINE32=${REDOVIRI_WINE32:-/usr/lib/wine/wine}

# True when 32-bit Linux programs, which Wine needs for 32-bit .exe files,
# run natively here.
redoviri_32bit_native() {
  case ${REDOVIRI_32BIT:-} in
    native) return 0 ;;
    emulated|none) return 1 ;;
  esac
  [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ] && /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

# True when they run only under qemu's user-mode emulator (tools/setup.sh
# registers it where they cannot run natively): slow, and its x87 sine and
# cosine are not exact to the last bit.
redoviri_32bit_emulated() {
  case ${REDOVIRI_32BIT:-} in
    emulated) return 0 ;;
    native|none) return 1 ;;
  esac
  [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ]
}

# True when the 32-bit Wine is installed (it may fail to install: it needs
# the i386 part of the package index, and i386 libraries of the same versions
# as the system's own).
redoviri_wine32_installed() {
  [ -x "$REDOVIRI_WINE32" ]
}

# True when the shipped 32-bit program runs here at full speed.
redoviri_win32_runs_natively() {
  redoviri_32bit_native && redoviri_wine32_installed
}

# True when it runs only under emulation (slowly).
redoviri_win32_runs_emulated() {
  redoviri_32bit_emulated && redoviri_wine32_installed
}

# Why the 32-bit program does not run at full speed here (empty when it does).
redoviri_win32_limit() {
  if ! redoviri_wine32_installed; then
    echo "wine32:i386 could not be installed"
  elif ! redoviri_32bit_native; then
    echo "this kernel runs 32-bit programs only under qemu's emulation"
  fi
}

# The Windows build whose programs this machine runs for tests, benchmarks
# and the program itself: the shipped 32-bit build where it runs natively,
# else the 64-bit build (same sources, same 80-bit long double).
redoviri_windows_build() {
  if redoviri_win32_runs_natively; then echo win32; else echo win64; fi
}

# The build whose Redoviri.exe tools/run.sh starts: the one that runs at full
# speed here, or the shipped 32-bit one when REDOVIRI_RUN_32BIT=1 asks for it
# (under emulation where it runs only emulated).
redoviri_program_build() {
  if [ "${REDOVIRI_RUN_32BIT:-0}" = 1 ]; then echo win32; else redoviri_windows_build; fi
}
