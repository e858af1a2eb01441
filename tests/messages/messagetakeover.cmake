corvane_add_test(test_messagetakeover SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_messagetakeover.cpp
                 LIBS corvane_messages TZ Asia/Shanghai)
