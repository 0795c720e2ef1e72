# Test programs are Windows executables; CTest runs each one under Wine with the
# project-local prefix of this build tree. One CTest entry per executable: a Wine
# process start costs up to a few seconds, so the cases inside stay together.
set(VANTREL_WINE_RUN ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh)
set(VANTREL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)

function(vantrel_wine_test_environment test)
  set_tests_properties(${test} PROPERTIES
      ENVIRONMENT "WINEPREFIX=${VANTREL_WINEPREFIX};VANTREL_BUILD_DIR=${CMAKE_BINARY_DIR};VANTREL_WINE_ARCH=${VANTREL_WINE_ARCH}")
endfunction()

# The suites run side by side (ctest -j); a lock keeps apart only the programs that
# share something of the machine:
#   service  - installs, starts or removes the registered service "Vantrel"
#   program  - runs vantrel.exe or an installer, or sets what they read of the
#              machine: the single-instance mutex, the user's own settings key, the
#              logon entry, Program Files, the update server
#   input    - moves the mouse, types, or needs the foreground window
# A test's timeout is about four times its measured time, at least a minute.
#
# vantrel_add_wine_test(<target> [GUI] [TIMEOUT seconds] [LOCKS lock...]
#                       [FIXTURES fixture...])
function(vantrel_add_wine_test target)
  cmake_parse_arguments(ARG "GUI" "TIMEOUT" "LOCKS;FIXTURES" ${ARGN})
  add_test(NAME ${target}
           COMMAND ${VANTREL_WINE_RUN} $<TARGET_FILE:${target}>
           WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  vantrel_wine_test_environment(${target})
  set(fixtures wine_prefix ${ARG_FIXTURES})
  set_tests_properties(${target} PROPERTIES FIXTURES_REQUIRED "${fixtures}")
  if(ARG_TIMEOUT)
    set_tests_properties(${target} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  else()
    set_tests_properties(${target} PROPERTIES TIMEOUT 60)
  endif()
  if(ARG_LOCKS)
    list(TRANSFORM ARG_LOCKS PREPEND vantrel_)
    set_tests_properties(${target} PROPERTIES RESOURCE_LOCK "${ARG_LOCKS}")
  endif()
  if(ARG_GUI)
    set_tests_properties(${target} PROPERTIES LABELS gui)
  endif()
endfunction()
