# corvane-cli frame decode / frame extract / ports, run as a separate process.
corvane_add_test(test_cli_frame SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_cli_frame.cpp LIBS corvane_link
                 LABEL integration)
add_dependencies(test_cli_frame corvane-cli)
# corvane-cli --help and the usage of every command.
corvane_add_test(test_cli_help SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_cli_help.cpp LABEL integration)
add_dependencies(test_cli_help corvane-cli)
