# GPRS book rules and monitor tiles without widgets.
corvane_add_test(test_gprsrules SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_gprsrules.cpp
                 LIBS corvane_viewcore Qt6::Sql LABEL integration)
corvane_add_test(test_monitortiles SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_monitortiles.cpp LIBS corvane_viewcore)
corvane_add_test(test_gprsview SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_gprsview.cpp
                 LIBS corvane_views Qt6::Sql LABEL integration)
