# corvane-cli logging, download, plan and collect against corvane-sim, as separate processes.
corvane_add_test(test_cli_logging SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_cli_logging.cpp LIBS Qt6::Core
                 LABEL e2e TIMEOUT 400)
add_dependencies(test_cli_logging corvane-cli corvane-sim)
