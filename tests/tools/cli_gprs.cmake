# corvane-cli gprs and messages take-over/month against corvane-sim, both as separate processes.
corvane_add_test(test_cli_gprs SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_cli_gprs.cpp LIBS Qt6::Core
                 LABEL e2e TIMEOUT 240)
add_dependencies(test_cli_gprs corvane-cli corvane-sim)
