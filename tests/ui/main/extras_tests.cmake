# The help pages.
tolvenar_add_test(tst_help ${CMAKE_CURRENT_LIST_DIR}/tst_help.cpp
    LIBS tolvenar_ui_extras)
