target_sources(tilsen_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/TileData.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HueTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ArtReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DataLocations.cpp
)
target_sources(tilsen_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/MulSetting.cpp
)
