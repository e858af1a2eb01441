corvane_add_test(test_sim_receiver
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_sim_receiver.cpp
  LIBS corvane_sim corvane_link
  LABEL unit)

corvane_add_test(test_sim_e2e
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_sim_e2e.cpp
  LIBS corvane_link
  LABEL e2e
  TIMEOUT 90)
add_dependencies(test_sim_e2e corvane-sim)
