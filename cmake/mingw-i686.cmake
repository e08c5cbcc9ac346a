# Windows 32-bit: the shipped build.
set(REDOVIRI_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# ctest runs the Windows executables under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
