# Test helpers shared by every test folder.
#
# Each test executable is one ctest test (a Wine start costs about a second,
# so the Windows build must not start one process per test case). Every run
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

# redoviri_add_gtest(<name> SOURCES ... [LIBS ...] [LABELS ...] [NEEDS_DISPLAY] [TIMEOUT s])
function(redoviri_add_gtest name)
  cmake_parse_arguments(T "NEEDS_DISPLAY" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest_main gmock redoviri_options)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  if(WIN32)
    # Wine maps Z: to the Linux root.
    set(xml "Z:${REDOVIRI_RESULTS_DIR}/${name}.xml")
    if(NOT T_NEEDS_DISPLAY)
      set_target_properties(${name} PROPERTIES WIN32_EXECUTABLE OFF)
    endif()
  else()
    set(xml "${REDOVIRI_RESULTS_DIR}/${name}.xml")
  endif()
  add_test(NAME ${name} COMMAND ${name} --gtest_output=xml:${xml}
           WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "gtest;${T_LABELS}")
  if(T_NEEDS_DISPLAY)
    # Windows on one shared display: the pointer and the focus are shared
    # too, so these run one at a time.
    set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
  endif()
endfunction()

# redoviri_add_script_test(<name> COMMAND ... [TIMEOUT s]): a test that is not
# a GoogleTest binary (end-to-end scripts); counted as one case.
function(redoviri_add_script_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "COMMAND" ${ARGN})
  add_test(NAME ${name} COMMAND ${T_COMMAND} WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  # Scripts drive the real program on the shared display: one at a time.
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "script" RUN_SERIAL TRUE)
endfunction()
