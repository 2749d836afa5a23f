# `cpack -G ZIP` in the Windows build: Varnholt-<version>-win64.zip with the
# programs, the README and the licence.
if(TARGET varnholt-cli)
  install(TARGETS varnholt-cli RUNTIME DESTINATION .)
endif()
if(TARGET Varnholt)
  install(TARGETS Varnholt RUNTIME DESTINATION .)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION . RENAME README.txt)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Varnholt)
set(CPACK_PACKAGE_VENDOR "The Varnholt developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME "Varnholt-${PROJECT_VERSION}-win64")
set(CPACK_STRIP_FILES ON)
include(CPack)
