# The history view driven headless over a real database.
corvane_add_test(test_historyview SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_historyview.cpp
                 LIBS corvane_history corvane_resources Qt6::Sql Qt6::Widgets LABEL integration)
# The print preview dialog with its page rules and PDF export.
corvane_add_test(test_printdialog SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_printdialog.cpp
                 LIBS corvane_history corvane_resources Qt6::Widgets)
