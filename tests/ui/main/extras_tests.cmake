# Tests of the main window's companions: schematic, help, printing, single instance.
tolvenar_add_test(tst_schematic ${CMAKE_CURRENT_LIST_DIR}/tst_schematic.cpp LIBS tolvenar_ui_extras)
tolvenar_add_test(tst_helpwindow ${CMAKE_CURRENT_LIST_DIR}/tst_helpwindow.cpp LIBS tolvenar_ui_extras)
tolvenar_add_test(tst_windowprinter ${CMAKE_CURRENT_LIST_DIR}/tst_windowprinter.cpp
    LIBS tolvenar_ui_extras)
tolvenar_add_test(tst_singleinstance ${CMAKE_CURRENT_LIST_DIR}/tst_singleinstance.cpp
    LIBS tolvenar_ui_extras)
