if(TARGET tilsen_mulwrite)
  tilsen_test(NAME test_mulwriter SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_mulwriter.cpp LIBS tilsen_mulwrite)
endif()

if(TARGET tilsen-sampledata)
  # Runs the generator itself, as the build does.
  tilsen_test(NAME test_sampledata SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_sampledata.cpp LIBS tilsen_sampledata)
  target_compile_definitions(test_sampledata PRIVATE TILSEN_SAMPLEDATA_EXE="$<TARGET_FILE:tilsen-sampledata>")
  add_dependencies(test_sampledata tilsen-sampledata)
  # Reads the set the build made.
  tilsen_test(NAME test_sampledata_panels GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_sampledata_panels.cpp
              LIBS tilsen_sampledata)
  add_dependencies(test_sampledata_panels sample_data)
endif()
