tilsen_bench(bench_edit ${CMAKE_CURRENT_LIST_DIR}/bench_edit.cpp)
target_link_libraries(bench_edit PRIVATE tilsen_gui)
