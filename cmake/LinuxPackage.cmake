# Packages made by cpack from the install rules: on Linux `cpack -G DEB` gives
# one Debian package with varnholt-cli and, when built, the window program.
set(CPACK_PACKAGE_NAME varnholt)
set(CPACK_PACKAGE_VENDOR "The Varnholt developers")
set(CPACK_PACKAGE_CONTACT "The Varnholt developers <${VARNHOLT_CONTACT_EMAIL}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Changes campaign options in Iron Dominion saved games")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

# Debian: the library packages (Qt 6 among them) come from dpkg-shlibdeps, so
# the dependencies follow what the binaries really link.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# Qt's own texts (the file dialog's, the buttons of message boxes) in the
# user's language; the program's own are built in.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Changes campaign options in Iron Dominion saved games
 Varnholt writes an edited copy of a saved game of Iron Dominion (releases
 1.0 to 1.6, with or without the expansion), with any of six campaign
 settings changed, and never touches the original. It provides the window
 program varnholt and the command line varnholt-cli.")

include(CPack)
