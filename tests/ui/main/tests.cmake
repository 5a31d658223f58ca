# The main window and its companions: schematic, printing, help, single instance.
tolvenar_add_test(tst_frmmain ${CMAKE_CURRENT_LIST_DIR}/tst_frmmain.cpp
    LIBS tolvenar_ui_program)
