# Widget-free history code: page texts, the data page's model, summary figures, workbook and
# CSV export (workbooks read back with libfreexl).
corvane_add_test(test_historytexts SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_historytexts.cpp
                 LIBS corvane_historycore corvane_resources)
corvane_add_test(test_historyexport SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_historyexport.cpp
                 LIBS corvane_historycore corvane_resources TIMEOUT 300)
corvane_add_test(test_historyviewrules SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_historyviewrules.cpp
                 LIBS corvane_historycore corvane_viewcore corvane_resources Qt6::Sql LABEL integration)
# Report pages (rendered into images, PDF files read back) and the print preview's rules.
corvane_add_test(test_reportpages SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_reportpages.cpp
                 LIBS corvane_historycore corvane_resources)
# corvane-cli history summary / export / print and datafile export.
corvane_add_test(test_historyreportcli SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_historyreportcli.cpp
                 LIBS corvane_historycore corvane_storage corvane_resources Qt6::Sql LABEL integration)
if(TARGET corvane-cli)
  add_dependencies(test_historyreportcli corvane-cli)
endif()
