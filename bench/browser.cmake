# The record browser over full record files: opening it, switching views, filtering.
tolvenar_add_bench(bench_browser ${CMAKE_CURRENT_LIST_DIR}/browser_bench.cpp)
