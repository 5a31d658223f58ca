# The main window and its companions.
include(${CMAKE_CURRENT_LIST_DIR}/window.cmake OPTIONAL)   # tolvenar_ui_main: frmMain, prompter
include(${CMAKE_CURRENT_LIST_DIR}/extras.cmake OPTIONAL)   # tolvenar_ui_extras: schematic, help, printing
