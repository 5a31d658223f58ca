# What every window of the program shares: where a window opens and how screen readers see
# windows and type lists.
add_library(tolvenar_ui_common STATIC
    ${CMAKE_CURRENT_LIST_DIR}/windowlayer.h
    ${CMAKE_CURRENT_LIST_DIR}/windowlayer.cpp
)
target_include_directories(tolvenar_ui_common PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(tolvenar_ui_common PUBLIC Qt6::Widgets tolvenar_options)
