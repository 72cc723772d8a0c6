target_sources(tilsen_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/TileData.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HueTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ArtReader.cpp
)
