# What this machine can run; sourced by the scripts (and read by the 64-bit
# toolchain file for the Wine loader). Defines no behaviour of its own.

# The 64-bit Wine loader (Debian's wine64 package installs it here, not on
# the PATH).
REDOVIRI_WINE64=${REDOVIRI_WINE64:-/usr/lib/wine/wine64}

# True when 32-bit Linux programs, which Wine needs for 32-bit .exe files,
# run natively here.
redoviri_32bit_native() {
  [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ] && /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

# True when they run only under qemu's user-mode emulator (tools/setup.sh
# registers it where they cannot run natively): slow, and its x87 sine and
# cosine are not exact to the last bit.
redoviri_32bit_emulated() {
  [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ]
}

# The Windows build whose programs this machine runs for tests, benchmarks
# and the program itself: the shipped 32-bit build where 32-bit programs run
# natively, else the 64-bit build (same sources, same 80-bit long double).
redoviri_windows_build() {
  if redoviri_32bit_native; then echo win32; else echo win64; fi
}

# The build whose Redoviri.exe tools/run.sh starts: the shipped 32-bit one
# wherever it runs at all (emulated: slowly), else the 64-bit one.
redoviri_program_build() {
  if redoviri_32bit_native || redoviri_32bit_emulated; then echo win32; else echo win64; fi
}
