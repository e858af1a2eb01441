corvane_add_test(test_beenode SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_beenode.cpp LIBS corvane_network)
corvane_add_test(test_networkload SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_networkload.cpp
                 LIBS corvane_network corvane_storage Qt6::Sql LABEL integration)
