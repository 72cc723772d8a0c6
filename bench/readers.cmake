tilsen_bench(bench_art ${CMAKE_CURRENT_LIST_DIR}/bench_art.cpp)
