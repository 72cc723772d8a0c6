if(TARGET tilsen_mulwrite)
  tilsen_test(NAME test_mulwriter SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_mulwriter.cpp LIBS tilsen_mulwrite)
endif()
