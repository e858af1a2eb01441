# corvane_add_test(<name> SOURCES <files...> [LIBS <targets...>] [LABEL unit|integration|e2e]
#                  [TZ <zone>] [TIMEOUT <s>] [ARGS <args...>] [ENV <VAR=value...>])
# Registers one test executable with CTest: headless (offscreen platform), a fixed time zone,
# and a temporary home folder of its own that a setup fixture empties before every run.
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
  add_test(NAME ${name}_home
           COMMAND ${CMAKE_COMMAND} -E rm -rf ${home})
  add_test(NAME ${name}_mkhome
           COMMAND ${CMAKE_COMMAND} -E make_directory ${home})
  set_tests_properties(${name}_home PROPERTIES FIXTURES_SETUP ${name}_fx_clean LABELS "${ARG_LABEL}")
  set_tests_properties(${name}_mkhome PROPERTIES FIXTURES_SETUP ${name}_fx
                       FIXTURES_REQUIRED ${name}_fx_clean LABELS "${ARG_LABEL}")
  add_test(NAME ${name} COMMAND ${name} ${ARG_ARGS} WORKING_DIRECTORY ${home})
  set_tests_properties(${name} PROPERTIES
    LABELS "${ARG_LABEL}"
    TIMEOUT ${ARG_TIMEOUT}
    FIXTURES_REQUIRED ${name}_fx
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TZ=${ARG_TZ};HOME=${home};TMPDIR=${home};LANG=C.UTF-8;LC_ALL=C.UTF-8;CORVANE_TEST_HOME=${home};${ARG_ENV}")
endfunction()
