# The Windows release of the command line: `cpack -G ZIP` in the MinGW tree gives
# quorvex-cli-<version>-win64.zip, holding the program and its documents in one folder to unpack
# anywhere (the program is linked statically and needs nothing beside it).
install(FILES "${PROJECT_SOURCE_DIR}/README.md" DESTINATION .)
# No licence file is made up here: the zip carries one only when the repository has one.
foreach(licence LICENSE LICENSE.txt LICENSE.md COPYING)
  if(EXISTS "${PROJECT_SOURCE_DIR}/${licence}")
    install(FILES "${PROJECT_SOURCE_DIR}/${licence}" DESTINATION . RENAME LICENSE.txt)
    break()
  endif()
endforeach()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME quorvex-cli)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_FILE_NAME "quorvex-cli-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Command line to configure the eight outputs of the analogue output card")
# The build keeps its debug information; the release goes without it.
set(CPACK_STRIP_FILES TRUE)
include(CPack)
