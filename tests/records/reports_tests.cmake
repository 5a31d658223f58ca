# The record layouts and files, saving and recalling records, the result report and the detailed
# data file, the record merger and its window.
tolvenar_add_test(tst_records ${CMAKE_CURRENT_LIST_DIR}/tst_records.cpp
    LIBS tolvenar_reports tolvenar_ui_records)
