# Saving and recalling records, the result report and the detailed data file.
tolvenar_add_test(tst_reports ${CMAKE_CURRENT_LIST_DIR}/tst_reports.cpp LIBS tolvenar_reports)
tolvenar_add_test(tst_saverecall ${CMAKE_CURRENT_LIST_DIR}/tst_saverecall.cpp LIBS tolvenar_reports)
