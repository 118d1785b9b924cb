# Compiler set-up shared by every target: warnings, sanitizers, ccache.

find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
  set(CMAKE_C_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
endif()

add_compile_options(-Wall -Wextra)
if(VISTELO_WERROR)
  add_compile_options(-Werror)
endif()

if(VISTELO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# Every shared object resolves its own symbols at load time, so a missing
# definition fails the build rather than a later dlopen. clang's sanitizer
# runtime lives in the executable, so fuzz builds leave them open.
if(NOT VISTELO_FUZZ)
  add_link_options(LINKER:--no-undefined)
endif()

# vistelo_add_gtest(<name> LABEL <label> SOURCES ... LIBS ...)
# One GoogleTest executable per layer or subsystem; each test carries the
# layer's CTest label. TestEnvironment gives every program its headless
# defaults (a list-valued ENVIRONMENT does not survive test discovery).
function(vistelo_add_gtest name)
  cmake_parse_arguments(ARG "" "LABEL" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES} ${CMAKE_SOURCE_DIR}/tests/support/TestEnvironment.cpp)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE VISTELO_TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests/fixtures")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${name} PROPERTIES LABELS ${ARG_LABEL} DISCOVERY_TIMEOUT 60)
endfunction()

# vistelo_collect_sources(<var> <dir>...): the .cpp files of the folders, so a
# new unit joins its library without editing a list.
function(vistelo_collect_sources var)
  set(all)
  foreach(dir IN LISTS ARGN)
    file(GLOB found CONFIGURE_DEPENDS ${dir}/*.cpp)
    list(APPEND all ${found})
  endforeach()
  list(SORT all)
  set(${var} ${all} PARENT_SCOPE)
endfunction()

# vistelo_object_library(<name> <dir>...): the units of a subsystem, compiled
# once and linked into the deliverable that carries them. A folder without
# units yet gives an interface library, so the build stays whole.
function(vistelo_object_library name)
  vistelo_collect_sources(srcs ${ARGN})
  if(srcs)
    add_library(${name} OBJECT ${srcs})
  else()
    add_library(${name} INTERFACE)
  endif()
endfunction()

# vistelo_link(<target> <visibility> libs...): works for object and interface
# libraries alike.
function(vistelo_link target)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    list(REMOVE_AT ARGN 0)
    target_link_libraries(${target} INTERFACE ${ARGN})
  else()
    target_link_libraries(${target} ${ARGN})
  endif()
endfunction()
include(${CMAKE_SOURCE_DIR}/cmake/Resources.cmake)
