corvane_add_test(test_linkevents SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_linkevents.cpp
                 LIBS corvane_network corvane_link corvane_storage corvane_messages corvane_base
                 LABEL integration)
corvane_add_test(test_downloadinterrupt SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_downloadinterrupt.cpp
                 LIBS corvane_network corvane_link corvane_storage corvane_messages corvane_base
                 LABEL integration)
