# vantrel_add_installer(<target> ARCH x86|x64 VERSION a.b.c.d PROGRAM <exe target>
#                       OUTPUT <installer path>)
# Builds an installer with makensis from the program target (installed as
# vantrel.exe), update.dll and the defrag service, stripped copies of each.
find_program(VANTREL_MAKENSIS makensis)

function(vantrel_add_installer name)
  cmake_parse_arguments(ARG "" "ARCH;VERSION;PROGRAM;OUTPUT" "" ${ARGN})
  if(NOT VANTREL_MAKENSIS)
    message(WARNING "makensis not found (scripts/deps.sh installs nsis): ${name} is not built")
    return()
  endif()
  set(stage ${CMAKE_CURRENT_BINARY_DIR}/${name}-files)
  set(script ${PROJECT_SOURCE_DIR}/installer/vantrel.nsi)
  add_custom_command(
      OUTPUT ${ARG_OUTPUT}
      COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}
      COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${ARG_PROGRAM}> ${stage}/vantrel.exe
      COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:updatedll> ${stage}/update.dll
      COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:defragsvc> ${stage}/defragsvc.exe
      COMMAND ${CMAKE_STRIP} ${stage}/vantrel.exe ${stage}/update.dll ${stage}/defragsvc.exe
      COMMAND ${VANTREL_MAKENSIS} -V2 -DARCH=${ARG_ARCH} -DVERSION=${ARG_VERSION}
              -DSOURCE=${stage} -DOUTFILE=${ARG_OUTPUT} ${script}
      DEPENDS ${ARG_PROGRAM} updatedll defragsvc ${script}
      COMMENT "Building installer ${name} (${ARG_VERSION}, ${ARG_ARCH})"
      VERBATIM)
  add_custom_target(${name} DEPENDS ${ARG_OUTPUT})
endfunction()
