corvane_add_test(test_users_ui SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_users_ui.cpp LIBS corvane_messages_ui)
