# Tests of the bearing data manager: the catalogue core and the window.
tolvenar_add_test(tst_bearingcatalogue ${CMAKE_CURRENT_LIST_DIR}/tst_bearingcatalogue.cpp
    LIBS tolvenar_bearings_core)
tolvenar_add_test(tst_frmediter ${CMAKE_CURRENT_LIST_DIR}/tst_frmediter.cpp
    LIBS tolvenar_ui_bearings)
