# Widget-free history code: page texts, the data page's model, summary figures, workbook and
# CSV export (workbooks read back with libfreexl).
corvane_add_test(test_historytexts SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_historytexts.cpp
                 LIBS corvane_historycore corvane_resources)
corvane_add_test(test_historyexport SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_historyexport.cpp
                 LIBS corvane_historycore corvane_resources TIMEOUT 300)
