# cmake --install: the program, the tool, the server and the audio engine in
# the usual places, with the desktop entry, icon, metainfo and man pages; and
# cpack -G DEB, whose dependencies dpkg-shlibdeps computes from the binaries.

include(GNUInstallDirs)

set(MV_APP_ID io.github.mp3vandrel.Mp3Vandrel)
# The engine is a private plug-in of the program, not a library for others.
set(MV_ENGINE_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/mp3vandrel)
# An installed program is told by its engine below the library folder; it then
# keeps its files in the per-user data folder, never beside the executables.
file(RELATIVE_PATH MV_PLATFORM_ENGINE_FROM_BIN /${CMAKE_INSTALL_BINDIR} /${MV_ENGINE_INSTALL_DIR})
set_property(SOURCE ${PROJECT_SOURCE_DIR}/src/platform/program_folder.cpp TARGET_DIRECTORY mv_platform
             APPEND PROPERTY COMPILE_DEFINITIONS MV_ENGINE_FROM_BIN="${MV_PLATFORM_ENGINE_FROM_BIN}")

install(TARGETS mp3vandrel mp3vandrel-cli mp3vandrel-server RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS mv_xaudio LIBRARY DESTINATION ${MV_ENGINE_INSTALL_DIR} NAMELINK_SKIP)

install(FILES data/${MV_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/${MV_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# The metainfo's release carries the project's version.
configure_file(data/${MV_APP_ID}.metainfo.xml.in ${PROJECT_BINARY_DIR}/${MV_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/${MV_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES man/mp3vandrel.1 man/mp3vandrel-cli.1 man/mp3vandrel-server.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# Debian keeps a package's documents under the package's name, and its
# license in the machine-readable copyright file.
install(FILES LICENSE data/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/mp3vandrel)

set(CPACK_PACKAGE_NAME mp3vandrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Mp3 Vandrel authors")
set(CPACK_PACKAGE_CONTACT "The Mp3 Vandrel authors <mp3vandrel@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "find duplicate MP3 files by name, catalogue burned CDs, play music")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Mp3 Vandrel finds duplicate MP3 files by their names, inside one folder tree or\n"
       "between a folder tree and a catalogue of burned CDs, and lets you delete the\n"
       "copies. It also edits ID3v1 tags, renames files after them, keeps a ban list\n"
       "and plays music. Includes mp3vandrel-cli and mp3vandrel-server.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.mp3vandrel.example/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time for the first sound print, so the binaries do not name it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libchromaprint1")
# A package carries no debugging symbols, whatever the build type.
set(CPACK_STRIP_FILES ON)
include(CPack)
