corvane_add_test(test_cvtime SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_cvtime.cpp LIBS corvane_base TZ Europe/Berlin)
