# Runs the layer check over a small tree with one planted fault of each kind and
# fails unless the check fails and names every one of them.
cmake_minimum_required(VERSION 3.21)
include("${INPUTS}") # for WIDGET_HEADER_DIRS
set(src "${FIXTURE}/src")
set(core "${src}/model/Tile.h;${src}/model/Tile.cpp;${src}/scene/Walk.cpp")
set(gui "${src}/data/Chooser.h;${src}/data/Chooser.cpp;${src}/ui/Ask.cpp;${src}/ui/Ask.h;${src}/view/Canvas.h")
execute_process(
  COMMAND "${CMAKE_COMMAND}" "-DSRC_DIR=${src}" "-DBENCH_DIR=${FIXTURE}/bench"
          "-DCORE_FILES=${core}" "-DGUI_FILES=${gui}" "-DCORE_LINKS=Qt6::Core;Qt6::Widgets"
          "-DWIDGET_HEADER_DIRS=${WIDGET_HEADER_DIRS}" -P "${CHECK}"
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(status EQUAL 0)
  message(FATAL_ERROR "the check passed a tree with faults:\n${out}")
endif()
set(expected
  "model/Tile.h: model includes view/Canvas.h from view above it"
  "model/Tile.cpp: core file includes the widget or GL header <QLabel>"
  "scene/Walk.cpp: core file includes data/Chooser.h of the GUI library"
  "scene/Walk.cpp: core file includes the widget or GL header <GL/gl.h>"
  "scene/Walk.cpp: core file includes the widget or GL header <QOpenGLContext>"
  "scene/Walk.cpp: core file includes the widget or GL header <QtWidgets/QWidget>"
  "ui/Ask.cpp: ui includes view/Canvas.h from view above it"
  "data/Chooser.h: data is core only, yet the file is in the GUI library"
  "data/Chooser.h: core file includes the widget or GL header <QDialog>"
  "data/Chooser.cpp: data includes ui/Ask.h from ui above it"
  "view/Canvas.h: includes ../model/Tile.h by a relative path"
  "data/Forgotten.cpp: in no library"
  "core library links Qt6::Widgets"
  "bench/bench_x.cpp: includes from the tests")
set(missing "")
foreach(text IN LISTS expected)
  string(FIND "${out}" "${text}" at)
  if(at EQUAL -1)
    string(APPEND missing "  ${text}\n")
  endif()
endforeach()
# Clean lines stay clean: QString in a core file, the model from a dialog.
foreach(text "<QString>" "ui includes model/Tile.h")
  string(FIND "${out}" "${text}" at)
  if(NOT at EQUAL -1)
    string(APPEND missing "  (reported a sound include: ${text})\n")
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "the check missed:\n${missing}output was:\n${out}")
endif()
