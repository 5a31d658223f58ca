tolvenar_add_test(tst_calc ${CMAKE_CURRENT_LIST_DIR}/tst_calc.cpp LIBS tolvenar_calc)
