if(TARGET tilsen_mulwrite)
  tilsen_test(NAME test_mulwriter SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_mulwriter.cpp LIBS tilsen_mulwrite)
endif()

# The sample set tests run the generator itself, as the build does.
if(TARGET tilsen-sampledata)
  tilsen_test(NAME test_sampledata SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_sampledata.cpp
              ${CMAKE_CURRENT_LIST_DIR}/SampleRun.h LIBS tilsen_sampledata)
  tilsen_test(NAME test_sampledata_panels GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_sampledata_panels.cpp
              ${CMAKE_CURRENT_LIST_DIR}/SampleRun.h LIBS tilsen_sampledata)
  foreach(t test_sampledata test_sampledata_panels)
    target_compile_definitions(${t} PRIVATE TILSEN_SAMPLEDATA_EXE="$<TARGET_FILE:tilsen-sampledata>")
    add_dependencies(${t} tilsen-sampledata)
  endforeach()
endif()
