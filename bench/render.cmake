tilsen_bench(bench_render bench_render.cpp)
target_link_libraries(bench_render PRIVATE tilsen_gui tilsen_mulwrite Qt6::Test)
