tilsen_test(NAME test_tiledata SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_tiledata.cpp)
tilsen_test(NAME test_hues SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_hues.cpp)
tilsen_test(NAME test_artreader SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_artreader.cpp)
