# tolvenar_reports: saving parameters and recalling records, the result report and the detailed
# calculation data file, and the GBK text files they are written to (GUI-free).
add_library(tolvenar_reports STATIC
    ${CMAKE_CURRENT_LIST_DIR}/textfile.h
    ${CMAKE_CURRENT_LIST_DIR}/textfile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/resultreport.h
    ${CMAKE_CURRENT_LIST_DIR}/resultreport.cpp
    ${CMAKE_CURRENT_LIST_DIR}/detaileddata.h
    ${CMAKE_CURRENT_LIST_DIR}/detaileddata.cpp
    ${CMAKE_CURRENT_LIST_DIR}/saveparameters.h
    ${CMAKE_CURRENT_LIST_DIR}/saveparameters.cpp
    ${CMAKE_CURRENT_LIST_DIR}/recall.h
    ${CMAKE_CURRENT_LIST_DIR}/recall.cpp
)
target_link_libraries(tolvenar_reports PUBLIC tolvenar_records tolvenar_calc)
