# The bearing data manager: the catalogue lines, their order and the rewrite of bearing.sav
# (GUI-free), and the window frmEditer.
add_library(tolvenar_bearings_core STATIC
    ${CMAKE_CURRENT_LIST_DIR}/editerline.h
    ${CMAKE_CURRENT_LIST_DIR}/editerline.cpp
    ${CMAKE_CURRENT_LIST_DIR}/catalogue.h
    ${CMAKE_CURRENT_LIST_DIR}/catalogue.cpp
)
if(TARGET tolvenar_records)
    target_link_libraries(tolvenar_bearings_core PUBLIC tolvenar_records tolvenar_reports)
else()
    target_link_libraries(tolvenar_bearings_core PUBLIC tolvenar_calc)
endif()

add_library(tolvenar_ui_bearings STATIC
    ${CMAKE_CURRENT_LIST_DIR}/frmediter.h
    ${CMAKE_CURRENT_LIST_DIR}/frmediter.cpp
)
target_link_libraries(tolvenar_ui_bearings PUBLIC tolvenar_bearings_core tolvenar_ui_common Qt6::Widgets)
