corvane_add_test(test_cli_users SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_cli_users.cpp LIBS corvane_messages
                 LABEL integration)
add_dependencies(test_cli_users corvane-cli)
