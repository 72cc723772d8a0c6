target_sources(tilsen_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/MultiFile.cpp
)
target_sources(tilsen_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/MultiDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MultiExchange.cpp
)
