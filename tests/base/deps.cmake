# One-way library dependencies: includes and CMake DEPS against the layering table of the script
# (fails on an include of a library above or beside, on incomplete DEPS and on include cycles).
find_package(Python3 COMPONENTS Interpreter)
if(Python3_Interpreter_FOUND)
  add_test(NAME test_deps COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/scripts/check_deps.py
           ${PROJECT_SOURCE_DIR})
  set_tests_properties(test_deps PROPERTIES LABELS unit)
endif()
