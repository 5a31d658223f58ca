# Record layouts, the record files and Module1's shared operations (Qt Core only).
add_library(tolvenar_records STATIC
    ${CMAKE_CURRENT_LIST_DIR}/records.h
    ${CMAKE_CURRENT_LIST_DIR}/records.cpp
    ${CMAKE_CURRENT_LIST_DIR}/recordfile.h
    ${CMAKE_CURRENT_LIST_DIR}/recordfile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/safefile.h
    ${CMAKE_CURRENT_LIST_DIR}/safefile.cpp
)
target_include_directories(tolvenar_records PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(tolvenar_records PUBLIC tolvenar_calc Qt6::Core tolvenar_options)

# The installed program keeps its record files in the per-user data directory, even when the
# folder it was installed to happens to be writable (root).
target_compile_definitions(tolvenar_records PRIVATE
    TOLVENAR_INSTALL_BINDIR="${CMAKE_INSTALL_FULL_BINDIR}")
