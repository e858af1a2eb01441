# Installs the build into a temporary prefix and starts the installed programs as a user would.
corvane_add_test(test_install SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_install.cpp LIBS Qt6::Core
                 LABEL integration TIMEOUT 300)
target_compile_definitions(test_install PRIVATE CORVANE_CMAKE_COMMAND="${CMAKE_COMMAND}")
add_dependencies(test_install corvane-manager corvane-cli corvane-sim corvane_man_pages corvane_sounds
                 corvane_initial_user_file)
