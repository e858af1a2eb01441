# Main window and settings dialog.
corvane_add_test(test_mainwindow
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_mainwindow.cpp ${CMAKE_CURRENT_LIST_DIR}/ShellFakes.h
  LIBS corvane_shell LABEL unit)
corvane_add_test(test_settingsdialog
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_settingsdialog.cpp ${CMAKE_CURRENT_LIST_DIR}/ShellFakes.h
  LIBS corvane_shell LABEL unit)
