# The record browser: its lines and the window.
tolvenar_add_test(tst_browser ${CMAKE_CURRENT_LIST_DIR}/tst_browser.cpp LIBS tolvenar_ui_browser)
