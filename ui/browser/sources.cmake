# The record browser. tolvenar_browser_core: its lines, headings, bore filter and the reading of
# the two record files (Qt Core only); tolvenar_ui_browser: the window frmView.
add_library(tolvenar_browser_core STATIC
    ${CMAKE_CURRENT_LIST_DIR}/viewlines.h
    ${CMAKE_CURRENT_LIST_DIR}/viewlines.cpp
    ${CMAKE_CURRENT_LIST_DIR}/viewlists.h
    ${CMAKE_CURRENT_LIST_DIR}/viewlists.cpp
)
if(TARGET tolvenar_records)
    target_link_libraries(tolvenar_browser_core PUBLIC tolvenar_records)
else()
    target_link_libraries(tolvenar_browser_core PUBLIC tolvenar_calc)
endif()

add_library(tolvenar_ui_browser STATIC
    ${CMAKE_CURRENT_LIST_DIR}/mainwindowlink.h
    ${CMAKE_CURRENT_LIST_DIR}/recordlistview.h
    ${CMAKE_CURRENT_LIST_DIR}/recordlistview.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frmview.h
    ${CMAKE_CURRENT_LIST_DIR}/frmview.cpp
)
target_link_libraries(tolvenar_ui_browser PUBLIC tolvenar_browser_core tolvenar_ui_common Qt6::Widgets)
