# Tests of the record layouts and record files.
tolvenar_add_test(tst_recordlayout ${CMAKE_CURRENT_LIST_DIR}/tst_recordlayout.cpp
    LIBS tolvenar_records)
tolvenar_add_test(tst_recordfiles ${CMAKE_CURRENT_LIST_DIR}/tst_recordfiles.cpp
    LIBS tolvenar_records)
