corvane_add_test(test_nodetable SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_nodetable.cpp
                 LIBS corvane_storage Qt6::Sql LABEL integration)
corvane_add_test(test_nodelookup SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_nodelookup.cpp
                 LIBS corvane_storage Qt6::Sql LABEL integration)
