# The help pages and the About box.
tolvenar_add_test(tst_help ${CMAKE_CURRENT_LIST_DIR}/tst_help.cpp
    LIBS tolvenar_ui_main tolvenar_ui_extras)
target_compile_definitions(tst_help PRIVATE TOLVENAR_PROJECT_VERSION="${PROJECT_VERSION}"
                           TOLVENAR_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
