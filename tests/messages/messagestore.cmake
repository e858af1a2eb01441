corvane_add_test(test_messagestore SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_messagestore.cpp LIBS corvane_messages
                 TZ Asia/Shanghai)
