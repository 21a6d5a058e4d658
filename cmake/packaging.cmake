# What `cmake --install` puts on a Linux system, and the Debian package made of it (scripts/package
# runs CPack). The desktop entry, the metadata and the icons share the program's reverse-DNS id.
include(GNUInstallDirs)
set(VELTRANE_HOMEPAGE https://veltrane.org/)
set(VELTRANE_MAINTAINER "The Veltrane developers <developers@veltrane.org>")

configure_file(data/${VELTRANE_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/generated/${VELTRANE_ID}.metainfo.xml @ONLY)
configure_file(data/veltrane.1.in ${CMAKE_BINARY_DIR}/generated/veltrane.1 @ONLY)
# Debian keeps manual pages and changelogs compressed, without a time stamp.
find_program(VELTRANE_GZIP gzip REQUIRED)
set(VELTRANE_COMPRESSED ${CMAKE_BINARY_DIR}/generated/veltrane.1.gz
                        ${CMAKE_BINARY_DIR}/generated/changelog.gz)
add_custom_command(OUTPUT ${VELTRANE_COMPRESSED}
                   COMMAND ${VELTRANE_GZIP} -9n -c generated/veltrane.1 > generated/veltrane.1.gz
                   COMMAND ${VELTRANE_GZIP} -9n -c ${CMAKE_SOURCE_DIR}/cmake/debian/changelog
                           > generated/changelog.gz
                   DEPENDS ${CMAKE_BINARY_DIR}/generated/veltrane.1 cmake/debian/changelog
                   WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
add_custom_target(veltrane_docs ALL DEPENDS ${VELTRANE_COMPRESSED})
# Everything the install below takes, for a build that makes the package alone.
add_custom_target(veltrane_installed)
add_dependencies(veltrane_installed veltrane veltrane_ico veltrane_docs)

install(TARGETS veltrane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES data/${VELTRANE_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/generated/${VELTRANE_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES data/pictures/p1.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME veltrane.svg)
install(DIRECTORY ${VELTRANE_PICTURES}/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${CMAKE_BINARY_DIR}/generated/veltrane.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES data/completion/veltrane DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES data/completion/_veltrane DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions)
install(FILES cmake/debian/copyright ${CMAKE_BINARY_DIR}/generated/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/veltrane)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME veltrane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${VELTRANE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turn the computer off when a set time has run out")
# Debian shows the description as written: lines of at most 79 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "Veltrane is a small desktop timer: three spinners set hours, minutes and
seconds, a button starts the countdown, and when the time is up a warning
counts thirty seconds down with a Cancel button before the computer is turned
off through systemd-logind. It checks at the start whether the system will
allow the power-off, keeps the computer awake while it counts, and can rehearse
the whole run with --dry-run.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${VELTRANE_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# logind is asked over the system bus; without it the program says no power manager answers.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "systemd")
include(CPack)
