corvane_add_test(test_homefolder SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_homefolder.cpp LIBS corvane_base)
