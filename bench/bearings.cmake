# The data manager at full catalogue size: sort and rewrite, and loading the list into the window.
tolvenar_add_bench(bench_bearings ${CMAKE_CURRENT_LIST_DIR}/bearings_bench.cpp)
target_link_libraries(bench_bearings PRIVATE tolvenar_ui_bearings)
