corvane_add_test(test_link_e2e SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_link_e2e.cpp
                 LIBS corvane_sim corvane_network corvane_link corvane_storage corvane_messages corvane_base
                 LABEL e2e TIMEOUT 180)
