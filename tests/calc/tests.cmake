tolvenar_add_test(tst_conversions ${CMAKE_CURRENT_LIST_DIR}/tst_conversions.cpp LIBS tolvenar_calc)
tolvenar_add_test(tst_computeloads ${CMAKE_CURRENT_LIST_DIR}/tst_computeloads.cpp
    ${CMAKE_CURRENT_LIST_DIR}/fakeinputsource.h LIBS tolvenar_calc)
tolvenar_add_test(tst_gatherinputs ${CMAKE_CURRENT_LIST_DIR}/tst_gatherinputs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/fakeinputsource.h LIBS tolvenar_calc)
