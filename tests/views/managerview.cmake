corvane_add_test(test_managerview SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_managerview.cpp
                 LIBS corvane_views Qt6::Sql LABEL integration)
corvane_add_test(test_commandviews SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_commandviews.cpp
                 LIBS corvane_views Qt6::Sql LABEL integration)
corvane_add_test(test_immeview SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_immeview.cpp
                 LIBS corvane_views Qt6::Sql LABEL integration)
