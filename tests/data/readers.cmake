tilsen_test(NAME test_readers SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_readers.cpp LIBS tilsen_mulwrite)
tilsen_test(NAME test_mulsetting SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_mulsetting.cpp GUI)
