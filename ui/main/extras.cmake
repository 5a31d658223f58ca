# Companions of the main window: the shaft schematic, help, window printing and the
# single-instance rule.
add_library(tolvenar_ui_extras STATIC
    ${CMAKE_CURRENT_LIST_DIR}/schematic.h
    ${CMAKE_CURRENT_LIST_DIR}/schematic.cpp
    ${CMAKE_CURRENT_LIST_DIR}/helpwindow.h
    ${CMAKE_CURRENT_LIST_DIR}/helpwindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/help/help.qrc
    ${CMAKE_CURRENT_LIST_DIR}/windowprinter.h
    ${CMAKE_CURRENT_LIST_DIR}/windowprinter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/singleinstance.h
    ${CMAKE_CURRENT_LIST_DIR}/singleinstance.cpp
)
target_link_libraries(tolvenar_ui_extras PUBLIC tolvenar_calc Qt6::Widgets Qt6::PrintSupport)
