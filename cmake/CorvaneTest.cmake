# corvane_add_test(<name> SOURCES <files...> [LIBS <targets...>] [LABEL unit|integration|e2e]
#                  [TZ <zone>] [TIMEOUT <s>] [ARGS <args...>] [ENV <VAR=value...>])
# Registers one test executable with CTest: headless (offscreen platform), a fixed time zone,
# and a temporary home folder of its own, emptied before every run (cmake/RunInCleanHome.cmake).
function(corvane_add_test name)
  cmake_parse_arguments(ARG "" "LABEL;TZ;TIMEOUT" "SOURCES;LIBS;ARGS;ENV" ${ARGN})
  if(NOT ARG_LABEL)
    set(ARG_LABEL unit)
  endif()
  if(NOT ARG_TZ)
    set(ARG_TZ Asia/Shanghai)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
  target_compile_definitions(${name} PRIVATE
    CORVANE_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    CORVANE_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
    CORVANE_BINARY_DIR="${CMAKE_BINARY_DIR}")
  set(home ${CMAKE_BINARY_DIR}/testhome/${name})
  add_test(NAME ${name}
           COMMAND ${CMAKE_COMMAND} -DHOME_DIR=${home} -DTEST_EXE=$<TARGET_FILE:${name}> "-DTEST_ARGS=${ARG_ARGS}"
                   -P ${PROJECT_SOURCE_DIR}/cmake/RunInCleanHome.cmake)
  set_tests_properties(${name} PROPERTIES
    LABELS "${ARG_LABEL}"
    TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TZ=${ARG_TZ};HOME=${home};TMPDIR=${home};LANG=C.UTF-8;LC_ALL=C.UTF-8;CORVANE_TEST_HOME=${home};${ARG_ENV}")
endfunction()
