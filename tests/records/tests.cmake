# Crash safety: a writer killed at random moments leaves every record file whole.
add_executable(crashdriver ${CMAKE_CURRENT_LIST_DIR}/crashdriver.cpp)
target_link_libraries(crashdriver PRIVATE tolvenar_records)
tolvenar_add_test(tst_crashsafety ${CMAKE_CURRENT_LIST_DIR}/tst_crashsafety.cpp
    LIBS tolvenar_records)
add_dependencies(tst_crashsafety crashdriver)
