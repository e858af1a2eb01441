corvane_add_test(test_strings SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_strings.cpp LIBS corvane_base)
