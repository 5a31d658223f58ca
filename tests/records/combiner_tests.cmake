# The record combiner: the merge and its window.
tolvenar_add_test(tst_combiner ${CMAKE_CURRENT_LIST_DIR}/tst_combiner.cpp LIBS tolvenar_ui_records)
