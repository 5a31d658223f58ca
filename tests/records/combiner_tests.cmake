# Tests of the record combiner: the merge and its window.
tolvenar_add_test(tst_combiner ${CMAKE_CURRENT_LIST_DIR}/tst_combiner.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tst_combiner_fixture.h LIBS tolvenar_combiner_core)
tolvenar_add_test(tst_frmcombiner ${CMAKE_CURRENT_LIST_DIR}/tst_frmcombiner.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tst_combiner_fixture.h LIBS tolvenar_ui_records)
