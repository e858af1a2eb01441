# Fuzzing of every parser of outside data. Each harness tests/fuzz/fuzz_<name>.cpp is replayed as
# a test over its seed corpus tests/fuzz/corpus/<name>/ by any compiler; with clang and
# CORVANE_BUILD_FUZZ the same harness is built as a libFuzzer program in <build>/fuzz/ (the whole
# build is then instrumented, see the top-level CMakeLists.txt). Run one with, for example,
#   <build>/fuzz/fuzz_datafile -max_total_time=600 <scratch corpus> tests/fuzz/corpus/datafile
if(CORVANE_BUILD_FUZZ AND NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "CORVANE_BUILD_FUZZ needs clang (CXX=clang++)")
endif()

# corvane_add_fuzzer(<name> LIBS <targets...> [SOURCES <extra files...>])
function(corvane_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "LIBS;SOURCES" ${ARGN})
  set(harness ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/fuzz_${name}.cpp)
  corvane_add_test(fuzz_${name}_replay
                   SOURCES ${harness} ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/replay_main.cpp ${ARG_SOURCES}
                   LIBS ${ARG_LIBS} ARGS ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/corpus/${name})
  target_include_directories(fuzz_${name}_replay PRIVATE ${PROJECT_SOURCE_DIR}/tools)
  if(CORVANE_BUILD_FUZZ)
    add_executable(fuzz_${name} ${harness} ${ARG_SOURCES})
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    target_include_directories(fuzz_${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tools)
    target_link_libraries(fuzz_${name} PRIVATE ${ARG_LIBS})
    set_target_properties(fuzz_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  endif()
endfunction()

corvane_add_fuzzer(extract LIBS corvane_link)
corvane_add_fuzzer(datafile LIBS corvane_storage)
corvane_add_fuzzer(userfile LIBS corvane_messages)
corvane_add_fuzzer(messagefile LIBS corvane_messages)
corvane_add_fuzzer(historyrows LIBS corvane_storage)
corvane_add_fuzzer(scenario LIBS corvane_sim)
corvane_add_fuzzer(framerequest LIBS corvane_link SOURCES ${PROJECT_SOURCE_DIR}/tools/cli/FrameRequestJson.cpp)
corvane_add_fuzzer(settings LIBS corvane_base)
