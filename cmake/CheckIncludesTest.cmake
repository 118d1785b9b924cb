# Tests the include-boundary check on trees made here: one that keeps every
# rule passes; one that breaks them fails and names each file with the
# header it includes.
#   cmake -DVISTELO_CHECK=<CheckIncludes.cmake> -DVISTELO_WORK=<scratch dir> -P CheckIncludesTest.cmake

cmake_minimum_required(VERSION 3.25)

function(put tree path text)
  file(WRITE ${tree}/${path} "${text}\n")
endfunction()

function(check tree result_var output_var)
  execute_process(COMMAND ${CMAKE_COMMAND} -DVISTELO_SOURCE_DIR=${tree} -P ${VISTELO_CHECK}
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(${result_var} ${result} PARENT_SCOPE)
  set(${output_var} "${out}${err}" PARENT_SCOPE)
endfunction()

set(kept ${VISTELO_WORK}/kept)
file(REMOVE_RECURSE ${kept})
put(${kept} platform/ui/qt/Window.cpp "#include <QWidget>\n#include <QtCore/QString>\n#include <qglobal.h>\n#include <Qt>")
put(${kept} platform/media/Audio.cpp "#include <SDL2/SDL.h>")
put(${kept} platform/scanner/Scanner.cpp "#include <sane/sane.h>\n#include <sane/saneopts.h>")
put(${kept} platform/graphics/Text.cpp
    "#include <ft2build.h>\n#include FT_FREETYPE_H\n#include <fontconfig/fontconfig.h>\n#include <jpeglib.h>\n#include <zlib.h>")
put(${kept} imageformats/Png.cpp "#include <zlib.h>")
put(${kept} tests/imageformats/PngTest.cpp "#include <zlib.h>")
put(${kept} bench/ini.cpp "#include <QSettings>")
put(${kept} core/Plain.cpp "#include <queue>\n#include \"platform/ui/Forms.h\"\n// #include <QWidget> is only a comment")
check(${kept} result out)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "a tree that keeps the rules was refused:\n${out}")
endif()

set(broken ${VISTELO_WORK}/broken)
file(REMOVE_RECURSE ${broken})
# <file>|<its include line>|<the header the message names>
set(violations
  "widgets/Panel.h|#include <QWidget>|QWidget"
  "tests/ui/InputTest.cpp|#include <QKeyEvent>|QKeyEvent"
  "platform/ui/Forms.h|#include <QtCore/QString>|QtCore/QString"
  "platform/ui/Keys.cpp|  #  include <Qt>|Qt"
  "platform/graphics/Sound.cpp|#include <SDL2/SDL.h>|SDL2/SDL.h"
  "editor/tools/MultiTWAIN.cpp|#include <sane/sane.h>|sane/sane.h"
  "platform/media/Scan.cpp|#include <sane/saneopts.h>|sane/saneopts.h"
  "core/Text.cpp|#include FT_FREETYPE_H|FT_FREETYPE_H"
  "player/Fonts.cpp|#include \"fontconfig/fontconfig.h\"|fontconfig/fontconfig.h"
  "imageformats/Jpg.h|#include <jerror.h>|jerror.h"
  "imageformats/Png.h|#include <zlib.h>|zlib.h"
  "fuzz/Target.cpp|#include <zlib.h>|zlib.h")
foreach(violation IN LISTS violations)
  string(REPLACE "|" ";" parts "${violation}")
  list(GET parts 0 path)
  list(GET parts 1 line)
  put(${broken} ${path} "${line}")
endforeach()
check(${broken} result out)
if(result EQUAL 0)
  message(FATAL_ERROR "a tree that breaks the rules passed")
endif()
foreach(violation IN LISTS violations)
  string(REPLACE "|" ";" parts "${violation}")
  list(GET parts 0 path)
  list(GET parts 2 header)
  string(FIND "${out}" "${path} includes <${header}>" at)
  if(at LESS 0)
    message(FATAL_ERROR "the check does not name ${path} with <${header}>:\n${out}")
  endif()
endforeach()
