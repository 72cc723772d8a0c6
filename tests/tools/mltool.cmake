tilsen_test(NAME test_mltool SOURCES test_mltool.cpp LIBS tilsen_mulwrite)
target_include_directories(test_mltool PRIVATE ${CMAKE_SOURCE_DIR}/tests/data)
add_dependencies(test_mltool mltool)
