# Windows 64-bit: runs the Windows tests where 32-bit Linux programs cannot run.
set(REDOVIRI_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# ctest runs the Windows executables under Wine's 64-bit loader, which
# tools/machine.sh names for every script.
execute_process(
  COMMAND bash -c ". '${CMAKE_CURRENT_LIST_DIR}/../tools/machine.sh' && printf %s \"$REDOVIRI_WINE64\""
  OUTPUT_VARIABLE REDOVIRI_WINE64)
set(CMAKE_CROSSCOMPILING_EMULATOR ${REDOVIRI_WINE64})
