# The curve plot: decimation, axes and picture on QImage, and the page widget.
corvane_add_test(test_curveplot SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_curveplot.cpp
                 LIBS corvane_viewcore corvane_resources)
corvane_add_test(test_curvepage SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_curvepage.cpp
                 LIBS corvane_views corvane_resources)
# corvane-cli plot as a separate process (CORVANE_CLI may name another build of the tool).
corvane_add_test(test_cli_plot SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_cli_plot.cpp
                 LIBS corvane_storage corvane_resources Qt6::Gui Qt6::Sql LABEL integration)
target_include_directories(test_cli_plot PRIVATE ${PROJECT_SOURCE_DIR}/tests/storage)
if(TARGET corvane-cli)
  add_dependencies(test_cli_plot corvane-cli)
endif()
