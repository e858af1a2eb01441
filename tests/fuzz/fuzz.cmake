# Fuzzing of frame extraction and decoding. The replay executable (any compiler) runs the
# harness over the seed corpus as a test; the libFuzzer build needs clang and CORVANE_BUILD_FUZZ.
corvane_add_test(fuzz_extract_replay
                 SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_extract.cpp ${CMAKE_CURRENT_LIST_DIR}/replay_main.cpp
                 LIBS corvane_link ARGS ${CMAKE_CURRENT_LIST_DIR}/corpus)
if(CORVANE_BUILD_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "CORVANE_BUILD_FUZZ needs clang (CXX=clang++)")
  endif()
  # The link sources under test are compiled in with the instrumentation.
  set(link_dir ${PROJECT_SOURCE_DIR}/src/link)
  add_executable(fuzz_extract ${CMAKE_CURRENT_LIST_DIR}/fuzz_extract.cpp ${link_dir}/FrameCodec.cpp
                 ${link_dir}/AffairReply.cpp ${link_dir}/ReceiveBuffer.cpp
                 ${PROJECT_SOURCE_DIR}/src/base/CvTime.cpp)
  target_compile_options(fuzz_extract PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(fuzz_extract PRIVATE -fsanitize=fuzzer,address,undefined)
  target_include_directories(fuzz_extract PRIVATE ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(fuzz_extract PRIVATE Qt6::Core)
  set_target_properties(fuzz_extract PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
endif()
