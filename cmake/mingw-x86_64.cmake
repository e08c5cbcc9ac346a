# Windows 64-bit: runs the Windows tests where 32-bit Linux programs cannot run.
set(REDOVIRI_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# ctest runs the Windows executables under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
