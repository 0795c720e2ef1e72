# Test programs are Windows executables; CTest runs each one under Wine with the
# project-local prefix of this build tree. One CTest entry per executable: a Wine
# process start costs up to a few seconds, so the cases inside stay together.
set(VANTREL_WINE_RUN ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh)
set(VANTREL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(VANTREL_PROGRAMS_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix-programs)

function(vantrel_wine_test_environment test)
  set(prefix ${VANTREL_WINEPREFIX})
  if(ARGC GREATER 1)
    set(prefix ${ARGV1})
  endif()
  set_tests_properties(${test} PROPERTIES
      ENVIRONMENT "WINEPREFIX=${prefix};VANTREL_BUILD_DIR=${CMAKE_BINARY_DIR};VANTREL_WINE_ARCH=${VANTREL_WINE_ARCH}")
endfunction()

# The suites run side by side (ctest -j); a lock keeps apart only the programs that
# share something of the machine:
#   service  - installs, starts or removes the registered service "Vantrel"
#   program  - runs vantrel.exe or an installer, or sets what they read of the
#              machine: the single-instance mutex, the user's own settings key, the
#              logon entry, Program Files, the update server
#   input    - moves the mouse, types, or needs the foreground window, or shows
#              windows of the programs' prefix (a setup's, the program's) that take
#              the display's focus from the one that types
# A test's timeout is about four times its measured time, at least a minute.
#
# PROGRAMS runs the test in a prefix of its own with its own wineserver: the programs
# it starts look for running copies by window title, hand-over atom and mutex, and
# a setup asks every "Vantrel" window to close, so they must never meet the windows
# the in-process tests create. service and program are locks within one prefix;
# input is one for the whole X display.
#
# SECONDS is the measured time of one entry, for the longer ones: CTest starts the
# costliest entries first when it has no times of its own yet (a fresh tree), so
# that the long waits overlap the short tests instead of trailing after them.
#
# vantrel_add_wine_test(<target> [GUI] [PROGRAMS] [SECONDS seconds] [TIMEOUT seconds]
#                       [LOCKS lock...] [FIXTURES fixture...] [EACH test...])
# EACH runs the named tests of the program one process each (CTest entries
# <target>.<test>), for tests that must not share a process.
function(vantrel_add_wine_test target)
  cmake_parse_arguments(ARG "GUI;PROGRAMS" "SECONDS;TIMEOUT" "LOCKS;FIXTURES;EACH" ${ARGN})
  if(ARG_SECONDS AND NOT ARG_TIMEOUT)
    math(EXPR ARG_TIMEOUT "${ARG_SECONDS} * 4")
    if(ARG_TIMEOUT LESS 60)
      set(ARG_TIMEOUT 60)
    endif()
  endif()
  set(prefix ${VANTREL_WINEPREFIX})
  set(prefix_fixture wine_prefix)
  set(lock_scope vantrel_)
  if(ARG_PROGRAMS)
    set(prefix ${VANTREL_PROGRAMS_WINEPREFIX})
    set(prefix_fixture wine_prefix_programs)
    set(lock_scope vantrel_programs_)
  endif()
  set(names ${target})
  set(commands "${VANTREL_WINE_RUN}|$<TARGET_FILE:${target}>")
  if(ARG_EACH)
    set(names)
    set(commands)
    foreach(test IN LISTS ARG_EACH)
      list(APPEND names ${target}.${test})
      list(APPEND commands "${VANTREL_WINE_RUN}|$<TARGET_FILE:${target}>|--gtest_filter=*.${test}")
    endforeach()
  endif()
  foreach(name command IN ZIP_LISTS names commands)
    string(REPLACE "|" ";" command "${command}")
    add_test(NAME ${name} COMMAND ${command} WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
    vantrel_wine_test_environment(${name} ${prefix})
    set(fixtures ${prefix_fixture} ${ARG_FIXTURES})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED "${fixtures}")
    if(ARG_TIMEOUT)
      set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
    else()
      set_tests_properties(${name} PROPERTIES TIMEOUT 60)
    endif()
    if(ARG_LOCKS)
      set(locks)
      foreach(lock IN LISTS ARG_LOCKS)
        if(lock STREQUAL "input")
          list(APPEND locks vantrel_input)
        else()
          list(APPEND locks ${lock_scope}${lock})
        endif()
      endforeach()
      set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${locks}")
    endif()
    if(ARG_SECONDS)
      set_tests_properties(${name} PROPERTIES COST ${ARG_SECONDS})
    endif()
    if(ARG_GUI)
      set_tests_properties(${name} PROPERTIES LABELS gui)
    endif()
  endforeach()
endfunction()
