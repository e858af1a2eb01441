# Runs one test executable in an emptied home folder of its own:
#   cmake -DHOME_DIR=<dir> -DTEST_EXE=<path> [-DTEST_ARGS=<;-list>] -P RunInCleanHome.cmake
file(REMOVE_RECURSE "${HOME_DIR}")
file(MAKE_DIRECTORY "${HOME_DIR}")
execute_process(COMMAND "${TEST_EXE}" ${TEST_ARGS} WORKING_DIRECTORY "${HOME_DIR}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${TEST_EXE} failed: ${rc}")
endif()
