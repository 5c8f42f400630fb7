# Build helpers shared by every layer.

include(${CMAKE_CURRENT_LIST_DIR}/Layers.cmake)

set(KORVATH_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align -Wnull-dereference)
if(KORVATH_WERROR)
  list(APPEND KORVATH_WARNINGS -Werror)
endif()

if(KORVATH_SANITIZE)
  # -O1 and line tables only: the instrumented build compiles in half the time, and its reports still name
  # every function, file and line.
  add_compile_options(-O1 -g1)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# With KORVATH_UNITY, a library's or test program's sources are compiled a few at a time as one unit: every
# header is parsed once a unit instead of once a file. Names local to a file (anonymous namespaces) must then
# differ between the files of one target; GCC's warning about such types used by test classes only applies to
# files included into another, which is what a unit does, so it is off there.
function(korvath_unity target)
  if(KORVATH_UNITY)
    set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
  endif()
endfunction()

# korvath_library(NAME DIR [DEPENDS lib...])
# A layer library made of every .cpp file directly in its folder, except those
# listed in EXCLUDE (program entry points). Include paths are rooted at the
# repository, so code includes "math/XVector3.h", "shell/XLog.h", ...
function(korvath_library name)
  cmake_parse_arguments(ARG "" "" "DEPENDS;EXCLUDE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(ex ${ARG_EXCLUDE})
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${ex})
  endforeach()
  if(sources)
    add_library(${name} STATIC ${sources})
    korvath_unity(${name})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_compile_options(${name} PRIVATE ${KORVATH_WARNINGS})
    target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPENDS})
  endif()
  set_property(GLOBAL APPEND PROPERTY KORVATH_LAYER_LIBRARIES ${name})
endfunction()

# Runs once every folder is added: a library may link only libraries of its own layer and of the layers it may
# use (Layers.cmake). The include check (test layers.includes) holds the sources to the same table.
function(korvath_check_layer_links)
  get_property(libraries GLOBAL PROPERTY KORVATH_LAYER_LIBRARIES)
  foreach(library ${libraries})
    get_target_property(folder ${library} SOURCE_DIR)
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${folder})
    korvath_layer_of(${folder} layer)
    if(layer STREQUAL "")
      continue()
    endif()
    get_target_property(type ${library} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(links ${library} INTERFACE_LINK_LIBRARIES)
    else()
      get_target_property(links ${library} LINK_LIBRARIES)
    endif()
    foreach(link ${links})
      if(NOT link IN_LIST libraries)
        continue()
      endif()
      get_target_property(link_folder ${link} SOURCE_DIR)
      file(RELATIVE_PATH link_folder ${PROJECT_SOURCE_DIR} ${link_folder})
      korvath_layer_may_use("${layer}" ${link_folder} allowed)
      if(NOT allowed)
        message(SEND_ERROR "${library} (${folder}/) links ${link} (${link_folder}/), which ${layer}/ may not use")
      endif()
    endforeach()
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL korvath_check_layer_links)

# korvath_test(NAME [DEPENDS lib...] [LABELS label...])
# A GoogleTest executable made of every .cpp file in the calling folder.
function(korvath_test name)
  cmake_parse_arguments(ARG "" "" "DEPENDS;LABELS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${name} ${sources})
  korvath_unity(${name})
  target_compile_options(${name} PRIVATE ${KORVATH_WARNINGS} $<$<BOOL:${KORVATH_UNITY}>:-Wno-subobject-linkage>)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    KORVATH_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    KORVATH_BINARY_DIR="${PROJECT_BINARY_DIR}")
  # GoogleTest's headers are most of a test file's compile time: they are precompiled once, by the first test
  # program, and every other one reuses that header.
  get_property(header_owner GLOBAL PROPERTY KORVATH_TEST_HEADER_OWNER)
  if(header_owner)
    target_precompile_headers(${name} REUSE_FROM ${header_owner})
  else()
    target_precompile_headers(${name} PRIVATE <gtest/gtest.h> <gmock/gmock.h> <string> <vector>)
    set_property(GLOBAL PROPERTY KORVATH_TEST_HEADER_OWNER ${name})
  endif()
  if(ARG_LABELS)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
      PROPERTIES LABELS "${ARG_LABELS}")
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  endif()
endfunction()

# korvath_benchmark(NAME [DEPENDS lib...])
# A Google Benchmark executable made of every .cpp file in the calling folder. Benchmarks are run by hand
# (scripts/bench.sh), never as tests: timings do not belong in pass/fail checks.
function(korvath_benchmark name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${name} ${sources})
  target_compile_options(${name} PRIVATE ${KORVATH_WARNINGS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} benchmark::benchmark_main)
  target_compile_definitions(${name} PRIVATE
    KORVATH_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    KORVATH_BINARY_DIR="${PROJECT_BINARY_DIR}")
endfunction()
