# The record combiner: the merge itself (Qt Core only) and its window.
add_library(tolvenar_combiner_core STATIC
    ${CMAKE_CURRENT_LIST_DIR}/combiner.h
    ${CMAKE_CURRENT_LIST_DIR}/combiner.cpp
)
target_link_libraries(tolvenar_combiner_core PUBLIC tolvenar_records)

add_library(tolvenar_ui_records STATIC
    ${CMAKE_CURRENT_LIST_DIR}/frmcombiner.h
    ${CMAKE_CURRENT_LIST_DIR}/frmcombiner.cpp
)
target_link_libraries(tolvenar_ui_records PUBLIC tolvenar_combiner_core tolvenar_ui_common Qt6::Widgets)
