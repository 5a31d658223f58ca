# The bearing data manager: the catalogue lines and the window.
tolvenar_add_test(tst_bearings ${CMAKE_CURRENT_LIST_DIR}/tst_bearings.cpp LIBS tolvenar_ui_bearings)
