# Receiver link, receive side: codecs, extraction and decoding, serial port over a pseudo-terminal.
corvane_add_test(test_framecodec SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_framecodec.cpp LIBS corvane_link)
corvane_add_test(test_extraction SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_extraction.cpp
                 ${CMAKE_CURRENT_LIST_DIR}/AnswerFrames.h LIBS corvane_link)
if(UNIX)
  corvane_add_test(test_comport_pty SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_comport_pty.cpp
                   ${CMAKE_CURRENT_LIST_DIR}/PtyPair.h
                   LIBS corvane_link LABEL integration)
endif()
