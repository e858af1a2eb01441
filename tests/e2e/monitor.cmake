# The monitor screen fed by the link against the demo network of the simulator.
corvane_add_test(test_monitor_e2e SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_monitor_e2e.cpp
                 LIBS corvane_sim corvane_views corvane_network corvane_link corvane_storage LABEL e2e TIMEOUT 180)
