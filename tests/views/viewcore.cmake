corvane_add_test(test_managercells SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_managercells.cpp LIBS corvane_viewcore)
corvane_add_test(test_nodelistmodel SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_nodelistmodel.cpp
                 LIBS corvane_viewcore Qt6::Sql LABEL integration)
corvane_add_test(test_commandrules SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_commandrules.cpp LIBS corvane_viewcore)
corvane_add_test(test_immecore SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_immecore.cpp
                 LIBS corvane_viewcore Qt6::Sql LABEL integration)
