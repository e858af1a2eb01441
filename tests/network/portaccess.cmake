# A serial port the user may not open: the port table, the link session's status
# text and one-time message, and corvane-cli ports run without the rights to open the device.
corvane_add_test(test_portaccess SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_portaccess.cpp
                 LIBS corvane_network corvane_link corvane_storage corvane_messages corvane_base
                 LABEL integration)
add_dependencies(test_portaccess corvane-cli)
