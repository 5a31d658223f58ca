# Record files and reports (GUI-free) and the record combiner. Each piece lists its own sources.
include(${CMAKE_CURRENT_LIST_DIR}/store.cmake OPTIONAL)     # tolvenar_records: layouts, files, Module1
include(${CMAKE_CURRENT_LIST_DIR}/reports.cmake OPTIONAL)   # tolvenar_reports: save/recall core, reports
include(${CMAKE_CURRENT_LIST_DIR}/combiner.cmake OPTIONAL)  # tolvenar_combiner_core, tolvenar_ui_records
