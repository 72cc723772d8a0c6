# Fails when the source tree breaks its layering:
#  - a folder includes a folder above it (see Allowed below);
#  - a core file includes a widget or GL header, or a file of the GUI library;
#  - a file of a core-only folder (model, data) is in the GUI library;
#  - a source file of src/ is in neither library (a file the build silently ignores);
#  - the core library links a widget or GL module;
#  - a benchmark includes a file of the tests.
# Inputs (-D, or set by the file named in INPUTS): SRC_DIR, BENCH_DIR, CORE_FILES,
# GUI_FILES, CORE_LINKS, WIDGET_HEADER_DIRS.
cmake_minimum_required(VERSION 3.21)
if(INPUTS)
  include("${INPUTS}")
endif()

# Folders each folder may include, its own among them.
set(Allowed_model  model)
set(Allowed_data   model data)
set(Allowed_scene  model data scene)
set(Allowed_ui     model data ui)
set(Allowed_view   model data scene ui view)
set(Allowed_panels model data scene ui panels)
set(Allowed_app    model data scene ui view panels app)
set(Folders model data scene ui view panels app)
# Their files may go into no library but the core: dialogs and flows belong to ui and app.
set(CoreFolders model data)

set(faults "")
macro(fault text)
  string(APPEND faults "  ${text}\n")
endmacro()

# Names of the widget and GL module headers (QWidget, qwidget.h, QOpenGLWidget, ...).
set(widget_headers "")
foreach(dir IN LISTS WIDGET_HEADER_DIRS)
  file(GLOB names RELATIVE "${dir}" "${dir}/*")
  list(APPEND widget_headers ${names})
endforeach()

function(is_widget_header header out)
  get_filename_component(name "${header}" NAME)
  set(hit FALSE)
  if(header MATCHES "^(GL|QtWidgets|QtOpenGL|QtOpenGLWidgets)/" OR name MATCHES "^(QOpenGL|qopengl)")
    set(hit TRUE)
  elseif(name IN_LIST widget_headers)
    set(hit TRUE)
  endif()
  set(${out} ${hit} PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE files RELATIVE "${SRC_DIR}" "${SRC_DIR}/*.h" "${SRC_DIR}/*.cpp")
list(SORT files)
foreach(rel IN LISTS files)
  set(path "${SRC_DIR}/${rel}")
  string(REGEX MATCH "^[^/]+" folder "${rel}")
  set(core FALSE)
  if(path IN_LIST CORE_FILES)
    set(core TRUE)
  endif()
  if(NOT core AND NOT path IN_LIST GUI_FILES)
    fault("${rel}: in no library")
  endif()
  if(NOT folder IN_LIST Folders)
    fault("${rel}: unknown folder ${folder}")
    continue()
  endif()

  if(folder IN_LIST CoreFolders AND NOT core)
    fault("${rel}: ${folder} is core only, yet the file is in the GUI library")
    set(core TRUE) # its includes are held to the core's rules as well
  endif()

  file(STRINGS "${path}" lines REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS lines)
    if(line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
      set(inc "${CMAKE_MATCH_1}")
      string(REGEX MATCH "^[^/]+" target_folder "${inc}")
      if(inc MATCHES "/" AND target_folder IN_LIST Folders)
        if(NOT target_folder IN_LIST Allowed_${folder})
          fault("${rel}: ${folder} includes ${inc} from ${target_folder} above it")
        elseif(core AND NOT "${SRC_DIR}/${inc}" IN_LIST CORE_FILES)
          fault("${rel}: core file includes ${inc} of the GUI library")
        endif()
      elseif(inc MATCHES "\\.\\./")
        fault("${rel}: includes ${inc} by a relative path")
      endif()
    elseif(core AND line MATCHES "#[ \t]*include[ \t]*<([^>]+)>")
      is_widget_header("${CMAKE_MATCH_1}" hit)
      if(hit)
        fault("${rel}: core file includes the widget or GL header <${CMAKE_MATCH_1}>")
      endif()
    endif()
  endforeach()
endforeach()

foreach(lib IN LISTS CORE_LINKS)
  if(lib MATCHES "Widgets|OpenGL|GLU")
    fault("core library links ${lib}")
  endif()
endforeach()

if(BENCH_DIR)
  file(GLOB_RECURSE bench_files RELATIVE "${BENCH_DIR}" "${BENCH_DIR}/*.h" "${BENCH_DIR}/*.cpp")
  foreach(rel IN LISTS bench_files)
    file(STRINGS "${BENCH_DIR}/${rel}" lines REGEX "^[ \t]*#[ \t]*include.*tests/")
    foreach(line IN LISTS lines)
      fault("bench/${rel}: includes from the tests: ${line}")
    endforeach()
  endforeach()
endif()

if(faults)
  message(FATAL_ERROR "Layering faults:\n${faults}")
endif()
message(STATUS "Layers hold")
