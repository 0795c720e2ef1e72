# Each target of the program compiles its C++ sources in batches of eight: a source
# pays the precompiled header's load (0.6-1 s) and the instantiation of the common
# templates once per batch instead of once per file, which halves a clean build.
#
# The batch files are written here rather than by CMake's own unity build, whose
# files name every source by its absolute path: the compiler cache hashes a source
# by its text, so a second clone of the checkout would miss every batch. These
# include each source by its path relative to the batch file, the same text in
# every clone. -DVANTREL_UNITY_BUILD=OFF compiles file by file; a source with
# SKIP_UNITY_BUILD_INCLUSION or settings of its own is compiled on its own.
include(${CMAKE_CURRENT_LIST_DIR}/Targets.cmake)

option(VANTREL_UNITY_BUILD "Compile each target's sources in batches of eight" ON)
set(VANTREL_UNITY_BATCH_SIZE 8)

# Writes batch file number `index` of `target` including `paths`; its path goes
# to `out`.
function(vantrel_write_unity_batch target index paths out)
  get_target_property(binary_dir ${target} BINARY_DIR)
  set(batch_dir ${binary_dir}/CMakeFiles/${target}.dir/Batches)
  set(text "// Generated: one compile for these sources.\n")
  foreach(path IN LISTS paths)
    file(RELATIVE_PATH relative ${batch_dir} ${path})
    string(APPEND text "#include \"${relative}\"\n")
  endforeach()
  set(batch_file ${batch_dir}/batch_${index}.cpp)
  file(CONFIGURE OUTPUT ${batch_file} CONTENT "${text}")
  set_source_files_properties(${paths} TARGET_DIRECTORY ${target}
                              PROPERTIES HEADER_FILE_ONLY ON)
  set(${out} ${batch_file} PARENT_SCOPE)
endfunction()

function(vantrel_unity_batches target)
  get_target_property(sources ${target} SOURCES)
  get_target_property(source_dir ${target} SOURCE_DIR)
  set(members)
  foreach(source IN LISTS sources)
    if(source MATCHES "\\$<" OR NOT source MATCHES "\\.cpp$")
      continue()
    endif()
    get_filename_component(path ${source} ABSOLUTE BASE_DIR ${source_dir})
    # A source with settings of its own (VANTREL_VERSION_TEXT, say) keeps its own
    # compile, as in CMake's unity builds.
    set(skip OFF)
    foreach(property IN ITEMS SKIP_UNITY_BUILD_INCLUSION COMPILE_DEFINITIONS COMPILE_OPTIONS
                              COMPILE_FLAGS INCLUDE_DIRECTORIES)
      get_source_file_property(value ${path} TARGET_DIRECTORY ${target} ${property})
      if(value)
        set(skip ON)
      endif()
    endforeach()
    file(RELATIVE_PATH from_checkout ${PROJECT_SOURCE_DIR} ${path})
    file(RELATIVE_PATH from_build ${CMAKE_BINARY_DIR} ${path})
    if(skip OR from_checkout MATCHES "^\\.\\./" OR NOT from_build MATCHES "^\\.\\./")
      continue()
    endif()
    list(APPEND members ${path})
  endforeach()
  list(LENGTH members count)
  if(count LESS 2)
    return()
  endif()
  set(batch_files)
  set(batch)
  set(index 0)
  foreach(path IN LISTS members)
    list(APPEND batch ${path})
    list(LENGTH batch size)
    if(size EQUAL VANTREL_UNITY_BATCH_SIZE)
      vantrel_write_unity_batch(${target} ${index} "${batch}" batch_file)
      list(APPEND batch_files ${batch_file})
      set(batch)
      math(EXPR index "${index} + 1")
    endif()
  endforeach()
  if(batch)
    vantrel_write_unity_batch(${target} ${index} "${batch}" batch_file)
    list(APPEND batch_files ${batch_file})
  endif()
  target_sources(${target} PRIVATE ${batch_files})
endfunction()

# Batches every C++ target defined below `directory` (the program's own sources
# only: files outside the checkout, such as GoogleTest's, keep their own compile).
function(vantrel_unity_build_all directory)
  if(NOT VANTREL_UNITY_BUILD)
    return()
  endif()
  vantrel_targets_below(${directory} targets)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
      vantrel_unity_batches(${target})
    endif()
  endforeach()
endfunction()
