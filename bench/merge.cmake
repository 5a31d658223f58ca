# The record combiner merging a full source into a full target.
tolvenar_add_bench(bench_merge ${CMAKE_CURRENT_LIST_DIR}/merge_bench.cpp)
