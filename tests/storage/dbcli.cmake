# corvane-cli db commands (CORVANE_CLI may name another build of the tool).
corvane_add_test(test_dbcli SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_dbcli.cpp
                 LIBS corvane_storage Qt6::Sql LABEL integration)
if(TARGET corvane-cli)
  add_dependencies(test_dbcli corvane-cli)
endif()
