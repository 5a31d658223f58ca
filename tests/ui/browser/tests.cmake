# Tests of the record browser.
tolvenar_add_test(tst_viewlines ${CMAKE_CURRENT_LIST_DIR}/tst_viewlines.cpp LIBS tolvenar_browser_core)
tolvenar_add_test(tst_frmview ${CMAKE_CURRENT_LIST_DIR}/tst_frmview.cpp LIBS tolvenar_ui_browser)
