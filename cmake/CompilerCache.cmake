# The compiler cache, when the machine has one; read by the Windows toolchains and
# by the native tree. Its settings travel with the command, so a tree built by hand
# hits the same cache as the scripts:
# - paths under the checkout are hashed relative to it and the working directory is
#   left out, so a second clone hits the first one's entries;
# - depend mode takes the headers from the compiler's own dependency file instead
#   of running the preprocessor a second time on every miss;
# - a precompiled header is hashed through the checksum file written beside it
#   (vantrel_precompiled_header_checksum), not read whole (150-200 MB) on every
#   compile that includes it; the sloppiness list lets such compiles be cached.
find_program(VANTREL_CCACHE ccache)
if(VANTREL_CCACHE)
  get_filename_component(vantrel_checkout ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)
  set(vantrel_launcher
      /usr/bin/env CCACHE_BASEDIR=${vantrel_checkout} CCACHE_NOHASHDIR=true
      CCACHE_DEPEND=true CCACHE_PCH_EXTSUM=true
      CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
      ${VANTREL_CCACHE})
  set(CMAKE_C_COMPILER_LAUNCHER ${vantrel_launcher})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${vantrel_launcher})
endif()
