# The Windows releases, made by cpack in a MinGW tree:
# - the Qt-free tree (QUORVEX_WITHOUT_QT): `cpack -G ZIP` gives quorvex-cli-<version>-win64.zip,
#   holding the program and its documents in one folder to unpack anywhere (the program is linked
#   statically and needs nothing beside it);
# - the window's tree: `cpack -G NSIS` gives quorvex-<version>-win64-setup.exe, which installs
#   quorvex.exe, quorvex-cli.exe and the README into Program Files, adds a Start-menu entry and
#   registers its uninstaller with Windows.
install(FILES "${PROJECT_SOURCE_DIR}/README.md" DESTINATION .)
# No licence file is made up here: the zip carries one only when the repository has one.
foreach(licence LICENSE LICENSE.txt LICENSE.md COPYING)
  if(EXISTS "${PROJECT_SOURCE_DIR}/${licence}")
    install(FILES "${PROJECT_SOURCE_DIR}/${licence}" DESTINATION . RENAME LICENSE.txt)
    set(QUORVEX_LICENCE_FILE "${PROJECT_SOURCE_DIR}/${licence}")
    break()
  endif()
endforeach()

set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "The Quorvex developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Command line to configure the eight outputs of the analogue output card")
# The build keeps its debug information; the release goes without it.
set(CPACK_STRIP_FILES TRUE)

if(QUORVEX_WITHOUT_QT)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME quorvex-cli)
  set(CPACK_PACKAGE_FILE_NAME "quorvex-cli-${PROJECT_VERSION}-win64")
else()
  set(CPACK_GENERATOR NSIS)
  set(CPACK_PACKAGE_NAME Quorvex)
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
      "Configure the eight outputs of the analogue output card, in a window or from the command line")
  set(CPACK_PACKAGE_FILE_NAME "quorvex-${PROJECT_VERSION}-win64-setup")
  set(CPACK_PACKAGE_INSTALL_DIRECTORY Quorvex)
  # One uninstall entry whatever the version, so a newer installer finds the older one.
  set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Quorvex)
  set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
  # The 64-bit Program Files: the programs are 64-bit, and there the window keeps its settings in
  # %APPDATA%\Quorvex (storage's WindowsSettingsPathFor).
  set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
  set(CPACK_NSIS_PACKAGE_NAME Quorvex)
  set(CPACK_NSIS_DISPLAY_NAME Quorvex)
  # The Start-menu entry: the window, under its own name.
  set(CPACK_PACKAGE_EXECUTABLES quorvex Quorvex)
  set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
  set(CPACK_NSIS_INSTALLED_ICON_NAME quorvex.exe)
  set(CPACK_NSIS_MUI_ICON "${PROJECT_BINARY_DIR}/app/quorvex.ico")
  set(CPACK_NSIS_MUI_UNIICON "${PROJECT_BINARY_DIR}/app/quorvex.ico")
  set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
  # A 64-bit installer for 64-bit programs: it needs no 32-bit subsystem (Wine without wine32
  # cannot start NSIS's default x86 one) and writes the registry's 64-bit view.
  set(CPACK_NSIS_DEFINES "Target amd64-unicode")
  # Without a licence file of ours the installer would show CPack's placeholder text; the terms
  # stated for the Debian package are the ones that hold.
  if(NOT QUORVEX_LICENCE_FILE)
    set(QUORVEX_LICENCE_FILE "${PROJECT_SOURCE_DIR}/packaging/copyright")
  endif()
  set(CPACK_RESOURCE_FILE_LICENSE "${QUORVEX_LICENCE_FILE}")
endif()
include(CPack)
