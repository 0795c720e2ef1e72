# Cross build for 64-bit Windows: no file-system or registry redirection for a
# tool that inspects drives, and it runs under 64-bit Wine on every build machine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VANTREL_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
