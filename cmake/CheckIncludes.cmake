# The layers keep the toolkit and the outside libraries to themselves: Qt is
# included only by the UI layer's backend (platform/ui/qt), SDL only by
# platform/media (ALSA too), the scanner library only by platform/scanner,
# FreeType, fontconfig and libjpeg only by platform/graphics, zlib only by
# the platform layers, the picture readers' sources and their
# tests (which make compressed test data with it), libdeflate only by the
# picture readers' sources. The benchmarks are left
# out: they measure against the reference tools, Qt among them.
#
# Every source and header of the tree is checked when the project is
# configured (adding a file configures again) and whenever one of them
# changes (the include_boundaries target of the build). A violation fails
# with the file and the header it includes.
#
#   cmake -DVISTELO_SOURCE_DIR=<tree> [-DVISTELO_STAMP=<file>] -P CheckIncludes.cmake
# checks a tree as a script.

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  cmake_minimum_required(VERSION 3.25)
endif()

# vistelo_include_rule(<library> <header regex> <regex of the paths that may include it> <those paths in words>)
set(VISTELO_INCLUDE_LIBRARIES)
set(VISTELO_INCLUDE_HEADERS)
set(VISTELO_INCLUDE_ALLOWED)
set(VISTELO_INCLUDE_PLACES)
function(vistelo_include_rule library headers allowed places)
  set(VISTELO_INCLUDE_LIBRARIES ${VISTELO_INCLUDE_LIBRARIES} "${library}" PARENT_SCOPE)
  set(VISTELO_INCLUDE_HEADERS ${VISTELO_INCLUDE_HEADERS} "${headers}" PARENT_SCOPE)
  set(VISTELO_INCLUDE_ALLOWED ${VISTELO_INCLUDE_ALLOWED} "${allowed}" PARENT_SCOPE)
  set(VISTELO_INCLUDE_PLACES ${VISTELO_INCLUDE_PLACES} "${places}" PARENT_SCOPE)
endfunction()

vistelo_include_rule(Qt "^(Q[A-Z][A-Za-z0-9_]*|Qt[A-Za-z0-9]*(/.*)?|q[a-z0-9_]+\\.h)$" "^platform/ui/qt/"
                     "platform/ui/qt/")
vistelo_include_rule(SDL "^(SDL2?/.*|SDL[A-Za-z0-9_]*\\.h)$" "^platform/media/" "platform/media/")
vistelo_include_rule(ALSA "^alsa/" "^platform/media/" "platform/media/")
vistelo_include_rule(SANE "^sane/" "^platform/scanner/" "platform/scanner/")
# FreeType's headers are also included through its macros (FT_FREETYPE_H).
vistelo_include_rule(FreeType "^(ft2build\\.h|freetype2?/.*|FT_[A-Z0-9_]+)$" "^platform/graphics/"
                     "platform/graphics/")
vistelo_include_rule(fontconfig "^fontconfig/" "^platform/graphics/" "platform/graphics/")
vistelo_include_rule(libjpeg "^(jpeglib|jerror|jconfig|jmorecfg|turbojpeg)\\.h$" "^platform/graphics/"
                     "platform/graphics/")
vistelo_include_rule(zlib "^(zlib|zconf)\\.h$" "^(platform/|imageformats/[^/]*\\.(c|cc|cpp)$|tests/imageformats/)"
                     "platform/, the sources of imageformats/ and tests/imageformats/")
vistelo_include_rule(libdeflate "^libdeflate\\.h$" "^imageformats/[^/]*\\.(c|cc|cpp)$" "the sources of imageformats/")

# Top-level folders that hold no sources of the product or its tests.
set(VISTELO_INCLUDE_SKIPPED_FOLDERS "^(bench|docs|scripts|build[^/]*|\\..*)$")

# vistelo_check_include_boundaries(<source dir> [CONFIGURE_DEPENDS] [FILES <var>])
# Fails (FATAL_ERROR) naming every file that breaks a rule; FILES returns
# the files checked.
function(vistelo_check_include_boundaries root)
  cmake_parse_arguments(ARG "CONFIGURE_DEPENDS" "FILES" "" ${ARGN})
  set(depends)
  if(ARG_CONFIGURE_DEPENDS)
    set(depends CONFIGURE_DEPENDS)
  endif()
  file(GLOB tops RELATIVE ${root} ${root}/*)
  set(files)
  foreach(top IN LISTS tops)
    if(NOT IS_DIRECTORY ${root}/${top} OR top MATCHES "${VISTELO_INCLUDE_SKIPPED_FOLDERS}")
      continue()
    endif()
    file(GLOB_RECURSE found ${depends} RELATIVE ${root}
      ${root}/${top}/*.h ${root}/${top}/*.hh ${root}/${top}/*.hpp ${root}/${top}/*.inl
      ${root}/${top}/*.c ${root}/${top}/*.cc ${root}/${top}/*.cpp ${root}/${top}/*.cxx)
    list(APPEND files ${found})
  endforeach()
  list(SORT files)

  set(problems)
  foreach(file IN LISTS files)
    file(STRINGS ${root}/${file} lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS lines)
      if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"]")
        set(header "${CMAKE_MATCH_1}")
      elseif(line MATCHES "^[ \t]*#[ \t]*include[ \t]+(FT_[A-Z0-9_]+)")
        set(header "${CMAKE_MATCH_1}") # FreeType's header macros
      else()
        continue()
      endif()
      foreach(library pattern allowed places IN ZIP_LISTS VISTELO_INCLUDE_LIBRARIES VISTELO_INCLUDE_HEADERS
                                                        VISTELO_INCLUDE_ALLOWED VISTELO_INCLUDE_PLACES)
        if(NOT header MATCHES "${pattern}" OR file MATCHES "${allowed}")
          continue()
        endif()
        list(APPEND problems "${file} includes <${header}>: ${library} is included only in ${places}")
      endforeach()
    endforeach()
  endforeach()

  if(problems)
    list(JOIN problems "\n  " text)
    message(FATAL_ERROR "Headers of the toolkit or of a library outside their layer:\n  ${text}")
  endif()
  if(ARG_FILES)
    set(${ARG_FILES} ${files} PARENT_SCOPE)
  endif()
endfunction()

# In the build: checked at configure time, and again by the build whenever a
# file changes.
function(vistelo_add_include_boundaries_check)
  vistelo_check_include_boundaries(${CMAKE_SOURCE_DIR} CONFIGURE_DEPENDS FILES checked)
  list(TRANSFORM checked PREPEND ${CMAKE_SOURCE_DIR}/)
  set(stamp ${CMAKE_BINARY_DIR}/include_boundaries.stamp)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DVISTELO_SOURCE_DIR=${CMAKE_SOURCE_DIR} -DVISTELO_STAMP=${stamp}
            -P ${CMAKE_SOURCE_DIR}/cmake/CheckIncludes.cmake
    DEPENDS ${checked} ${CMAKE_SOURCE_DIR}/cmake/CheckIncludes.cmake
    COMMENT "Checking which layers include the toolkit's and the libraries' headers"
    VERBATIM)
  add_custom_target(include_boundaries ALL DEPENDS ${stamp})
endfunction()

# A test of the check itself (cmake/CheckIncludesTest.cmake).
function(vistelo_add_include_boundaries_test)
  add_test(NAME include_boundaries
    COMMAND ${CMAKE_COMMAND} -DVISTELO_CHECK=${CMAKE_SOURCE_DIR}/cmake/CheckIncludes.cmake
            -DVISTELO_WORK=${CMAKE_CURRENT_BINARY_DIR}/include_boundaries
            -P ${CMAKE_SOURCE_DIR}/cmake/CheckIncludesTest.cmake)
  set_tests_properties(include_boundaries PROPERTIES LABELS build)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  if(NOT VISTELO_SOURCE_DIR)
    message(FATAL_ERROR "CheckIncludes.cmake: give the tree with -DVISTELO_SOURCE_DIR=<dir>")
  endif()
  vistelo_check_include_boundaries(${VISTELO_SOURCE_DIR})
  if(VISTELO_STAMP)
    file(TOUCH ${VISTELO_STAMP})
  endif()
endif()
