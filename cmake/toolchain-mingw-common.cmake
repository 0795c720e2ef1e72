# Shared part of the MinGW-w64 cross toolchains; the including file sets
# VANTREL_MINGW_PREFIX and CMAKE_SYSTEM_PROCESSOR first. The "posix" compilers are
# used because the win32 thread model lacks std::mutex and cannot build GoogleTest.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${VANTREL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VANTREL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VANTREL_MINGW_PREFIX}-windres)
set(CMAKE_AR ${VANTREL_MINGW_PREFIX}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${VANTREL_MINGW_PREFIX}-gcc-ranlib-posix CACHE FILEPATH "")
set(CMAKE_DLLTOOL ${VANTREL_MINGW_PREFIX}-dlltool CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${VANTREL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Every binary depends on Windows system DLLs only.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# A compiler cache when the machine has one. Its settings travel with the command,
# so a tree built by hand hits the same cache as the scripts: paths under the
# checkout are hashed relative to it and the working directory is left out (a
# second clone hits the first one's entries), and precompiled headers are cached.
find_program(VANTREL_CCACHE ccache)
if(VANTREL_CCACHE)
  get_filename_component(vantrel_checkout ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)
  set(vantrel_launcher
      /usr/bin/env CCACHE_BASEDIR=${vantrel_checkout} CCACHE_NOHASHDIR=true
      CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
      ${VANTREL_CCACHE})
  set(CMAKE_C_COMPILER_LAUNCHER ${vantrel_launcher})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${vantrel_launcher})
endif()
