# The main window's pictures (compiled in) and its alarm sounds, written into the build tree's
# home folder by the project's own script.
target_sources(corvane_shell PRIVATE ${CMAKE_CURRENT_LIST_DIR}/shell_pictures.qrc)

find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(corvane_sounds ${CORVANE_HOME_DIR}/sound/warning.wav ${CORVANE_HOME_DIR}/sound/prealarm.wav)
add_custom_command(OUTPUT ${corvane_sounds}
                   COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/scripts/make-sounds
                           ${CORVANE_HOME_DIR}/sound
                   DEPENDS ${PROJECT_SOURCE_DIR}/scripts/make-sounds
                   COMMENT "Writing the alarm sounds"
                   VERBATIM)
add_custom_target(corvane_sounds ALL DEPENDS ${corvane_sounds})
add_dependencies(corvane_shell corvane_sounds)
