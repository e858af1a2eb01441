# What `cmake --install` lays out and what CPack packs into a .deb:
#   bin/                         corvane-manager, corvane-cli, corvane-sim
#   share/corvane/home/          template of a per-user home folder (sounds, initial user file),
#                                copied on a first start when the program folder is not writable
#   share/corvane/               the demo network (corvane-sim --scenario)
#   share/applications, icons    desktop entry and icon
#   share/man/man1               man pages written from the programs' own --help texts
#   lib/systemd/user             the collector's user unit (installed, not enabled)
include(GNUInstallDirs)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

install(TARGETS corvane-manager corvane-cli corvane-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The programs find the template as ../share/corvane/home beside their bin folder.
set(corvane_seed ${CMAKE_INSTALL_DATADIR}/corvane/home)
install(FILES ${CORVANE_HOME_DIR}/sound/warning.wav ${CORVANE_HOME_DIR}/sound/prealarm.wav
        DESTINATION ${corvane_seed}/sound)
install(FILES ${CORVANE_HOME_DIR}/profiler/user.ruf DESTINATION ${corvane_seed}/profiler)
install(FILES ${PROJECT_SOURCE_DIR}/resources/demo-network.json DESTINATION ${CMAKE_INSTALL_DATADIR}/corvane)

install(FILES ${PROJECT_SOURCE_DIR}/resources/install/corvane-manager.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/pictures/corvane-manager.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps)
install(FILES ${PROJECT_SOURCE_DIR}/resources/install/corvane-collect.service DESTINATION lib/systemd/user)

# Man pages from each program's --help, rewritten whenever the program is rebuilt.
set(corvane_man_dir ${CMAKE_BINARY_DIR}/man)
file(MAKE_DIRECTORY ${corvane_man_dir})
set(corvane_man_pages)
function(corvane_man_page program summary)
  set(page ${corvane_man_dir}/${program}.1)
  add_custom_command(OUTPUT ${page}
                     COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/scripts/make-manpage ${ARGN} ${page}
                             ${program} ${summary} $<TARGET_FILE:${program}> --help
                     DEPENDS ${program} ${PROJECT_SOURCE_DIR}/scripts/make-manpage
                     COMMENT "Writing the man page of ${program}"
                     VERBATIM)
  set(corvane_man_pages ${corvane_man_pages} ${page} PARENT_SCOPE)
endfunction()
corvane_man_page(corvane-manager "manager of the Corvane wireless data-logger network" --home-files)
corvane_man_page(corvane-cli "the Corvane core without a window, printing JSON lines" --home-files)
corvane_man_page(corvane-sim "simulated Corvane receiver with its network on a pseudo-terminal")
add_custom_target(corvane_man_pages ALL DEPENDS ${corvane_man_pages})
install(FILES ${corvane_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvane)
set(CPACK_PACKAGE_VENDOR Corvane)
set(CPACK_PACKAGE_CONTACT "Corvane developers <developers@corvane.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Manager for a wireless network of temperature and humidity data loggers")
set(CPACK_PACKAGE_DESCRIPTION
    "Finds the receiver on a serial port, shows live readings with alarms, downloads the loggers' recorded history into a local SQLite database and shows, exports and prints it. Includes corvane-cli (the core without a window, also as a systemd user unit for unattended stations) and corvane-sim (a receiver simulator).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://corvane.invalid/")
# Libraries the programs link are found by dpkg-shlibdeps; the plugins Qt loads at run time are
# not linked and so are named here (the SQLite driver; sounds and xcb come with linked packages).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite")
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/package)
include(CPack)
