# Test helpers shared by every test folder.
#
# Each test executable is one ctest test, or a few for a long suite (a Wine
# start costs about a second, so the Windows build must not start one
# process per test case). Windows tests that show windows run in a display
# and a Wine prefix of their own (tools/wine-isolated.sh). Every run
# leaves a GoogleTest XML report in ${CMAKE_BINARY_DIR}/results, which
# tools/summarize_tests.py counts case by case.

if(REDOVIRI_TESTS)
  if(NOT TARGET gtest)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  endif()
  enable_testing()
endif()

set(REDOVIRI_RESULTS_DIR ${CMAKE_BINARY_DIR}/results)

# The checks of the sources themselves (the generated tables and pictures
# against their generators, the layer table), which give the same answer in
# every build of one kind: the sanitizer build leaves them to the native one.
option(REDOVIRI_SOURCE_CHECKS "Run the checks of the sources in this build" ON)

# redoviri_add_gtest(<name> SOURCES ... [LIBS ...] [LABELS ...] [NEEDS_DISPLAY] [TIMEOUT s] [SHARDS n]
#                    [DPIS dpi...])
# DPIS (Windows tests that need a display): one ctest entry per screen
# resolution, <name>_dpi<N>, each in a prefix set to it; the program finds
# the resolution in REDOVIRI_LOGPIXELS.
function(redoviri_add_gtest name)
  cmake_parse_arguments(T "NEEDS_DISPLAY" "TIMEOUT;SHARDS" "SOURCES;LIBS;LABELS;DPIS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} redoviri_test_main gmock redoviri_options)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  if(WIN32 AND NOT T_NEEDS_DISPLAY)
    set_target_properties(${name} PROPERTIES WIN32_EXECUTABLE OFF)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  if(NOT T_SHARDS)
    set(T_SHARDS 1)
  endif()
  # A long suite runs as several ctest entries, each a share of its cases
  # (GoogleTest's sharding), side by side.
  math(EXPR last "${T_SHARDS} - 1")
  set(runs "")
  if(T_DPIS)
    foreach(dpi ${T_DPIS})
      list(APPEND runs "dpi${dpi}")
    endforeach()
  else()
    foreach(shard RANGE ${last})
      list(APPEND runs "${shard}")
    endforeach()
  endif()
  foreach(run ${runs})
    set(shard ${run})
    if(T_DPIS)
      set(test ${name}_${run})
    elseif(T_SHARDS EQUAL 1)
      set(test ${name})
    else()
      set(test ${name}_${shard})
    endif()
    if(WIN32)
      # Wine maps Z: to the Linux root.
      set(xml "Z:${REDOVIRI_RESULTS_DIR}/${test}.xml")
    else()
      set(xml "${REDOVIRI_RESULTS_DIR}/${test}.xml")
    endif()
    if(WIN32 AND T_NEEDS_DISPLAY)
      # A display and a Wine prefix of its own: such tests run side by side.
      add_test(NAME ${test}
               COMMAND bash ${PROJECT_SOURCE_DIR}/tools/wine-isolated.sh $<TARGET_FILE:${name}> --gtest_output=xml:${xml}
               WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
    else()
      add_test(NAME ${test} COMMAND ${name} --gtest_output=xml:${xml} WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
    endif()
    set(env "")
    if(WIN32 AND T_NEEDS_DISPLAY)
      # Wine takes the user locale from LANG when a process starts.
      list(APPEND env "LANG=en_US.UTF-8" "LC_ALL=")
    endif()
    if(T_DPIS)
      string(SUBSTRING ${run} 3 -1 dpi)
      list(APPEND env "REDOVIRI_LOGPIXELS=${dpi}")
    elseif(NOT T_SHARDS EQUAL 1)
      list(APPEND env "GTEST_TOTAL_SHARDS=${T_SHARDS}" "GTEST_SHARD_INDEX=${shard}")
    endif()
    set_tests_properties(${test} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "gtest;${T_LABELS}")
    if(env)
      set_tests_properties(${test} PROPERTIES ENVIRONMENT "${env}")
    endif()
  endforeach()
endfunction()

# redoviri_add_script_test(<name> COMMAND ... [TIMEOUT s] [ENVIRONMENT VAR=value...]):
# a test that is not a GoogleTest binary (end-to-end scripts); counted as
# one case.
function(redoviri_add_script_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "COMMAND;ENVIRONMENT" ${ARGN})
  add_test(NAME ${name} COMMAND ${T_COMMAND} WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  # Each script has a display and a prefix of its own; it drives the real
  # program by the clock, so it takes two of ctest's slots.
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "script" PROCESSORS 2)
  if(T_ENVIRONMENT)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${T_ENVIRONMENT}")
  endif()
endfunction()
