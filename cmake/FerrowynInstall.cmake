# What `cmake --install` puts where a Linux desktop expects it, and the Debian package made of it by CPack.
# Both programs find the bubble assets (share/ferrowyn/linebb) relative to their own folder (AssetDir);
# the translations are compiled into the programs.
include(GNUInstallDirs)

set(FERROWYN_APP_ID com.vantorel.Ferrowyn)

install(TARGETS ferrowyn ferrowyn-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/linebb DESTINATION ${CMAKE_INSTALL_DATADIR}/ferrowyn)
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/${FERROWYN_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/${FERROWYN_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# The manual page of ferrowyn-cli, made from its --help and --version by help2man.
find_program(HELP2MAN help2man)
if(HELP2MAN)
    set(manpage ${PROJECT_BINARY_DIR}/man/ferrowyn-cli.1)
    add_custom_command(OUTPUT ${manpage}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
        COMMAND ${HELP2MAN} --no-info --section=1 --source=Ferrowyn
                "--name=read, export and back up LINE chat history from iPhone backups"
                --output=${manpage} $<TARGET_FILE:ferrowyn-cli>
        DEPENDS ferrowyn-cli
        COMMENT "Writing the manual page of ferrowyn-cli"
        VERBATIM)
    add_custom_target(ferrowyn_cli_manpage ALL DEPENDS ${manpage})
    install(FILES ${manpage} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
    message(WARNING "help2man not found: the manual page of ferrowyn-cli is not made (scripts/setup installs it)")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ferrowyn)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Vantorel)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Read, export and print LINE chat history from iPhone backups")
set(CPACK_PACKAGE_DESCRIPTION
    "Ferrowyn reads the chat history of the LINE messenger from iPhone backups (encrypted or not) and from an
iPhone attached by USB, shows, searches, exports (text, CSV, HTML, PDF) and prints it, and keeps local
message databases. ferrowyn-cli runs the same exports and backups from a terminal.")
if(FERROWYN_SUPPORT_EMAIL)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Vantorel <${FERROWYN_SUPPORT_EMAIL}>")
else()
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Vantorel")
endif()
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries the programs link, as dpkg-shlibdeps finds them; then what they load at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, fonts-noto-color-emoji")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "usbmuxd")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
include(CPack)
