# Tests of the save/recall core, the result report and the detailed data file.
tolvenar_add_test(tst_resultreport ${CMAKE_CURRENT_LIST_DIR}/tst_resultreport.cpp
    LIBS tolvenar_reports)
tolvenar_add_test(tst_detaileddata ${CMAKE_CURRENT_LIST_DIR}/tst_detaileddata.cpp
    LIBS tolvenar_reports)
tolvenar_add_test(tst_saveparameters ${CMAKE_CURRENT_LIST_DIR}/tst_saveparameters.cpp
    LIBS tolvenar_reports)
tolvenar_add_test(tst_recall ${CMAKE_CURRENT_LIST_DIR}/tst_recall.cpp LIBS tolvenar_reports)
