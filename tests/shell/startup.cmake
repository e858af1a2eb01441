corvane_add_test(test_startup SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_startup.cpp LIBS corvane_shell)
