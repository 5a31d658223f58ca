# Tests of the main window.
tolvenar_add_test(tst_frmmain ${CMAKE_CURRENT_LIST_DIR}/tst_frmmain.cpp LIBS tolvenar_ui_main)
tolvenar_add_test(tst_frmmain_records ${CMAKE_CURRENT_LIST_DIR}/tst_frmmain_records.cpp
    LIBS tolvenar_ui_main)
