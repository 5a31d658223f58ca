# Conversions and the load-and-life calculation (GUI-free).
add_library(tolvenar_calc STATIC
    ${CMAKE_CURRENT_LIST_DIR}/conversions.h
    ${CMAKE_CURRENT_LIST_DIR}/conversions.cpp
    ${CMAKE_CURRENT_LIST_DIR}/prompter.h
    ${CMAKE_CURRENT_LIST_DIR}/calcinput.h
    ${CMAKE_CURRENT_LIST_DIR}/gatherinputs.h
    ${CMAKE_CURRENT_LIST_DIR}/gatherinputs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/computeloads.h
    ${CMAKE_CURRENT_LIST_DIR}/computeloads.cpp
)
target_include_directories(tolvenar_calc PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(tolvenar_calc PUBLIC Qt6::Core tolvenar_options)
