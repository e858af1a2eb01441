corvane_add_test(test_requestframes SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_requestframes.cpp LIBS corvane_link)
corvane_add_test(test_affairlink
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_affairlink.cpp ${CMAKE_CURRENT_LIST_DIR}/AffairTestKit.h
          ${CMAKE_CURRENT_LIST_DIR}/AffairTestKit.cpp
  LIBS corvane_link corvane_network)
corvane_add_test(test_gprsflows
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_gprsflows.cpp ${CMAKE_CURRENT_LIST_DIR}/AffairTestKit.h
          ${CMAKE_CURRENT_LIST_DIR}/AffairTestKit.cpp
  LIBS corvane_link corvane_network)
corvane_add_test(test_submitcommand
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_submitcommand.cpp ${CMAKE_CURRENT_LIST_DIR}/AffairTestKit.h
          ${CMAKE_CURRENT_LIST_DIR}/AffairTestKit.cpp
  LIBS corvane_link corvane_network)
