target_sources(tilsen_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/GLWidget.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GridColours.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IsoGeometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TexMgr.cpp
)
