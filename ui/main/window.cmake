# tolvenar_ui_main: the main window frmMain and the widget implementation of Prompter.
add_library(tolvenar_ui_main STATIC
    ${CMAKE_CURRENT_LIST_DIR}/frmmain.h
    ${CMAKE_CURRENT_LIST_DIR}/frmmain.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frmmain_records.cpp
    ${CMAKE_CURRENT_LIST_DIR}/widgetprompter.h
    ${CMAKE_CURRENT_LIST_DIR}/widgetprompter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/aboutdialog.h
    ${CMAKE_CURRENT_LIST_DIR}/aboutdialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/about.qrc
    ${CMAKE_CURRENT_LIST_DIR}/qttranslation.h
    ${CMAKE_CURRENT_LIST_DIR}/qttranslation.cpp
)
# The About box shows the version of the build.
target_compile_definitions(tolvenar_ui_main PRIVATE TOLVENAR_VERSION="${PROJECT_VERSION}")

# tolvenar_ui_program: the windows together (what main.cpp starts).
add_library(tolvenar_ui_program STATIC
    ${CMAKE_CURRENT_LIST_DIR}/programwindows.h
    ${CMAKE_CURRENT_LIST_DIR}/programwindows.cpp
)
target_link_libraries(tolvenar_ui_program PUBLIC tolvenar_ui_main tolvenar_ui_extras
                      tolvenar_ui_browser tolvenar_ui_bearings tolvenar_ui_records)
target_include_directories(tolvenar_ui_main PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(tolvenar_ui_main PUBLIC tolvenar_calc tolvenar_ui_common Qt6::Widgets
                      Qt6::PrintSupport tolvenar_options)
target_link_libraries(tolvenar_ui_main PUBLIC tolvenar_records tolvenar_reports)
