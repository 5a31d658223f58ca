# Lookup and append in full record files (32767 records).
tolvenar_add_bench(bench_records ${CMAKE_CURRENT_LIST_DIR}/records_bench.cpp)
