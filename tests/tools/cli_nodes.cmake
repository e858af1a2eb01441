# corvane-cli nodes and node against corvane-sim, both as separate processes.
corvane_add_test(test_cli_nodes SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_cli_nodes.cpp LIBS Qt6::Core
                 LABEL e2e TIMEOUT 120)
add_dependencies(test_cli_nodes corvane-cli corvane-sim)
