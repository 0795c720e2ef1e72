# Compile settings shared by every target of the program (not by GoogleTest).
add_library(vantrel_options INTERFACE)
target_compile_definitions(vantrel_options INTERFACE
    UNICODE _UNICODE NOMINMAX STRICT
    _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0800
    # Only the version resources read the numbers: a version bump recompiles no
    # C++ source.
    $<$<COMPILE_LANGUAGE:RC>:VANTREL_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}>
    $<$<COMPILE_LANGUAGE:RC>:VANTREL_VERSION_MINOR=${PROJECT_VERSION_MINOR}>
    $<$<COMPILE_LANGUAGE:RC>:VANTREL_VERSION_PATCH=${PROJECT_VERSION_PATCH}>
    $<$<COMPILE_LANGUAGE:RC>:VANTREL_VERSION_TWEAK=${PROJECT_VERSION_TWEAK}>)
target_compile_options(vantrel_options INTERFACE
    $<$<COMPILE_LANGUAGE:C,CXX>:-Wall -Wextra -Wshadow -Werror>)
target_include_directories(vantrel_options INTERFACE ${PROJECT_SOURCE_DIR})

if(CMAKE_BUILD_TYPE STREQUAL "Release")
  add_link_options(-s)
endif()

# The architecture decides the Wine flavour that runs this tree's programs (a
# 32-bit prefix for i686, a 64-bit one for x86_64) and widl's pointer size. The
# scripts read the flavour from the build tree.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(VANTREL_WINE_ARCH win64)
  set(VANTREL_WIDL_POINTER_SIZE -m64)
else()
  set(VANTREL_WINE_ARCH win32)
  set(VANTREL_WIDL_POINTER_SIZE -m32)
endif()
file(WRITE ${CMAKE_BINARY_DIR}/wine-arch "${VANTREL_WINE_ARCH}\n")

# Writes "<header>.gch.sum" beside the C++ precompiled header of <target> (an
# object library that compiles only an empty file), the file the compiler cache
# hashes in the header's place. The target <target>_checksum makes it; every
# target that reuses the header depends on that target, so none of its compiles is
# looked up against the checksum of an older header.
function(vantrel_precompiled_header_checksum target)
  set(header ${CMAKE_CURRENT_BINARY_DIR}/CMakeFiles/${target}.dir/cmake_pch.hxx.gch)
  add_custom_command(
      OUTPUT ${header}.sum
      COMMAND sh -c "sha256sum < \"$1\" > \"$1.sum\"" checksum ${header}
      DEPENDS ${target} ${header}
      VERBATIM)
  add_custom_target(${target}_checksum DEPENDS ${header}.sum)
endfunction()

# The product's common headers, compiled once per tree and reused by every C++
# library of the program (GCC rejects a header compiled with other -O or -f flags,
# so targets with flags of their own do not take it).
add_library(vantrel_product_pch OBJECT ${PROJECT_SOURCE_DIR}/cmake/pch/Empty.cpp)
target_link_libraries(vantrel_product_pch PRIVATE vantrel_options)
target_precompile_headers(vantrel_product_pch PRIVATE
    <windows.h> <algorithm> <cstdint> <cstdio> <functional> <memory> <optional>
    <string> <string_view> <vector>)

vantrel_precompiled_header_checksum(vantrel_product_pch)

function(vantrel_use_product_pch)
  foreach(target IN LISTS ARGN)
    target_precompile_headers(${target} REUSE_FROM vantrel_product_pch)
    add_dependencies(${target} vantrel_product_pch_checksum)
  endforeach()
endfunction()

# The version text for the few C++ sources that compare against it (tests).
function(vantrel_version_text_in)
  set_property(SOURCE ${ARGN} APPEND PROPERTY COMPILE_DEFINITIONS
               VANTREL_VERSION_TEXT="${PROJECT_VERSION}")
endfunction()

# A Windows GUI program: wWinMain, GUI subsystem, Unicode entry point.
function(vantrel_gui_executable target)
  set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
  target_link_options(${target} PRIVATE -municode)
endfunction()

# A console program with wmain.
function(vantrel_console_executable target)
  target_link_options(${target} PRIVATE -municode)
endfunction()
