corvane_add_test(test_userfile SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_userfile.cpp LIBS corvane_messages)
