corvane_add_test(test_messageview SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_messageview.cpp LIBS corvane_messages_ui
                 TZ Asia/Shanghai)
