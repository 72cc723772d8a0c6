target_sources(tilsen_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Selection.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TileEditor.cpp
)
