# History tables, sample store and data file.
corvane_add_test(test_historycodec SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_historycodec.cpp
                 LIBS corvane_storage TZ Europe/Berlin)
corvane_add_test(test_historystore SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_historystore.cpp
                 LIBS corvane_storage corvane_resources Qt6::Sql LABEL integration)
corvane_add_test(test_datafile SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_datafile.cpp
                 LIBS corvane_storage corvane_resources)
# The command-line tool on databases and files the program writes (CORVANE_CLI may name
# another build of the tool).
corvane_add_test(test_historycli SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_historycli.cpp
                 LIBS corvane_storage corvane_resources Qt6::Sql LABEL integration)
if(TARGET corvane-cli)
  add_dependencies(test_historycli corvane-cli)
  add_dependencies(test_datafile corvane-cli)
endif()
