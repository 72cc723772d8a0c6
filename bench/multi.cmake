tilsen_bench(bench_multi ${CMAKE_CURRENT_LIST_DIR}/bench_multi.cpp)
target_link_libraries(bench_multi PRIVATE tilsen_mulwrite)
