# Read by cpack for each generator of the window's tree (CPACK_PROJECT_CONFIG_FILE): the installer
# and the portable zip, each named after the version cpack runs with.
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_PACKAGE_FILE_NAME "quorvex-${CPACK_PACKAGE_VERSION}-win64-setup")
elseif(CPACK_GENERATOR STREQUAL "ZIP")
  set(CPACK_PACKAGE_FILE_NAME "quorvex-${CPACK_PACKAGE_VERSION}-win64-portable")
endif()
