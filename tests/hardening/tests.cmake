# Hardening: the file failures of the environment, and the crash driver's merge into bearing.sav.
if(TARGET crashdriver)
    target_link_libraries(crashdriver PRIVATE tolvenar_combiner_core)
endif()

tolvenar_add_test(tst_environmentfaults ${CMAKE_CURRENT_LIST_DIR}/tst_environmentfaults.cpp
    LIBS tolvenar_reports tolvenar_ui_bearings tolvenar_ui_records)
# A second copy of the program writing the record files is played by the crash tests' writer.
if(TARGET crashdriver)
    add_dependencies(tst_environmentfaults crashdriver)
endif()
