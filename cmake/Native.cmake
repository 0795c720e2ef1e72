# The native tree (preset "native", the host's g++): the portable defrag engine,
# its tests run natively, the NTFS image backend with its proof on real NTFS
# images, and the vantrel-image program. Nothing here ships.
option(VANTREL_BUILD_TESTS "Build the test programs" ON)
option(VANTREL_BUILD_BENCH "Build the benchmark programs (target 'benchmarks')" OFF)

include(${PROJECT_SOURCE_DIR}/cmake/CompilerCache.cmake)

# Warnings as errors, as in the Windows trees.
add_library(vantrel_native_options INTERFACE)
target_compile_options(vantrel_native_options INTERFACE -Wall -Wextra -Wshadow -Werror)
target_include_directories(vantrel_native_options INTERFACE ${PROJECT_SOURCE_DIR})

if(VANTREL_BUILD_TESTS)
  enable_testing()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # The program's folders build on each other in one direction only.
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  add_test(NAME folder_layers
           COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/layers/check_layers.py
                   ${PROJECT_SOURCE_DIR})
endif()
if(VANTREL_BUILD_BENCH)
  add_custom_target(benchmarks)
endif()

# Each piece takes part once its folder has a CMakeLists.txt.
foreach(dir IN ITEMS engine engine/ntfs tools/vantrel-image)
  if(EXISTS ${PROJECT_SOURCE_DIR}/${dir}/CMakeLists.txt)
    add_subdirectory(${dir})
  endif()
endforeach()

vantrel_unity_build_all(${PROJECT_SOURCE_DIR})
