# corvane-cli realtime against corvane-sim, as separate processes.
corvane_add_test(test_cli_realtime SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_cli_realtime.cpp LIBS Qt6::Core
                 LABEL e2e TIMEOUT 120)
add_dependencies(test_cli_realtime corvane-cli corvane-sim)
