# Test programs are Windows executables; CTest runs each one under Wine with the
# project-local prefix of this build tree. One CTest entry per executable: a Wine
# process start costs up to a few seconds, so the cases inside stay together.
set(VANTREL_WINE_RUN ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh)
set(VANTREL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)

function(vantrel_wine_test_environment test)
  set_tests_properties(${test} PROPERTIES
      ENVIRONMENT "WINEPREFIX=${VANTREL_WINEPREFIX};VANTREL_BUILD_DIR=${CMAKE_BINARY_DIR};VANTREL_WINE_ARCH=${VANTREL_WINE_ARCH}")
endfunction()

# vantrel_add_wine_test(<target> [GUI] [TIMEOUT seconds] [FIXTURES fixture...])
function(vantrel_add_wine_test target)
  cmake_parse_arguments(ARG "GUI" "TIMEOUT" "FIXTURES" ${ARGN})
  add_test(NAME ${target}
           COMMAND ${VANTREL_WINE_RUN} $<TARGET_FILE:${target}>
           WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  vantrel_wine_test_environment(${target})
  set(fixtures wine_prefix ${ARG_FIXTURES})
  set_tests_properties(${target} PROPERTIES FIXTURES_REQUIRED "${fixtures}")
  if(ARG_TIMEOUT)
    set_tests_properties(${target} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  else()
    set_tests_properties(${target} PROPERTIES TIMEOUT 120)
  endif()
  if(ARG_GUI)
    set_tests_properties(${target} PROPERTIES LABELS gui)
  endif()
endfunction()
