# The Windows releases, made by cpack in a MinGW tree:
# - the Qt-free tree (QUORVEX_WITHOUT_QT): `cpack -G ZIP` gives quorvex-cli-<version>-win64.zip,
#   holding the program and its documents in one folder to unpack anywhere (the program is linked
#   statically and needs nothing beside it);
# - the window's tree: `cpack -G "NSIS;ZIP"` gives quorvex-<version>-win64-setup.exe, which
#   installs quorvex.exe, quorvex-cli.exe and the README into Program Files, adds a Start-menu
#   entry, opens .KFG files in the window and registers its uninstaller with Windows, and beside
#   it quorvex-<version>-win64-portable.zip, the same files in one folder to unpack anywhere
#   (outside Program Files the window keeps its settings beside quorvex.exe).
#   The release makes both with exactly this, in the window's tree:
#     cpack -G "NSIS;ZIP"
#   (`-D CPACK_PACKAGE_VERSION=x.y.z` makes both of another version from the same build, named
#   after it, as the Windows check does for an installed older version.)
#   Beside them, the target `quorvex_msi` makes the two Windows Installer packages for companies,
#   quorvex-<version>-win64.msi (per machine) and quorvex-<version>-win64-user.msi (per user), with
#   Debian's wixl (tools/make_msi.sh, packaging/windows/quorvex.wxs).
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
  set(CPACK_GENERATOR NSIS ZIP)
  set(CPACK_PACKAGE_NAME Quorvex)
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
      "Configure the eight outputs of the analogue output card, in a window or from the command line")
  # Names each generator's file after the version cpack runs with.
  set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_CURRENT_LIST_DIR}/QuorvexCPackWindowsNames.cmake")
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
  #
  # The installer's own steps (packaging/windows/quorvex.nsh). A newer installer goes into the
  # folder the older one was installed in, which CPack's template records under the vendor's key.
  set(CPACK_NSIS_DEFINES
      "Target amd64-unicode
  !include \"${PROJECT_SOURCE_DIR}/packaging/windows/quorvex.nsh\"
  InstallDirRegKey HKLM \"Software\\${CPACK_PACKAGE_VENDOR}\\Quorvex\" \"\"")
  set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "!insertmacro QuorvexRegisterKfg")
  set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "!insertmacro QuorvexUnregisterKfg")
  # With an older version installed, CPack's template runs its uninstaller first from .onInit (in
  # silent mode too: the question's silent answer is yes); the check for a running program has to
  # come before that, so it opens .onInit, and un.onInit likewise, of a copy of the template made
  # here from CMake's own, before any page.
  set(nsis_template "${CMAKE_ROOT}/Modules/Internal/CPack/NSIS.template.in")
  file(READ "${nsis_template}" template)
  foreach(function_and_what ".onInit;setup" "un.onInit;uninstall")
    list(GET function_and_what 0 function)
    list(GET function_and_what 1 what)
    set(line "Function ${function}\n")
    string(FIND "${template}" "${line}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "${nsis_template} has no line \"Function ${function}\" to check for a "
                          "running Quorvex in: the ${what} would replace a running program")
    endif()
    string(REPLACE "${line}" "${line}  !insertmacro QuorvexRefuseWhileRunning \"$INSTDIR\" ${what}\n"
                   template "${template}")
  endforeach()
  # CPack writes NSIS.InstallOptions.ini anew at every run, and makensis stores each extracted
  # file's time in the installer: without the time for that one file, two runs of one commit give
  # the same bytes.
  set(line "!insertmacro MUI_INSTALLOPTIONS_EXTRACT \"NSIS.InstallOptions.ini\"\n")
  string(FIND "${template}" "${line}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${nsis_template} extracts no NSIS.InstallOptions.ini as expected: the "
                        "installer would carry the time of its build")
  endif()
  string(REPLACE "${line}" "SetDateSave off\n    ${line}    SetDateSave on\n" template
                 "${template}")
  file(WRITE "${PROJECT_BINARY_DIR}/nsis-template/NSIS.template.in" "${template}")
  set(CPACK_MODULE_PATH "${PROJECT_BINARY_DIR}/nsis-template")
  # The NSIS lines above reach cpack with their quotes and backslashes as written.
  set(CPACK_VERBATIM_VARIABLES ON)
  # Without a licence file of ours the installer would show CPack's placeholder text; the terms
  # stated for the Debian package are the ones that hold.
  if(NOT QUORVEX_LICENCE_FILE)
    set(QUORVEX_LICENCE_FILE "${PROJECT_SOURCE_DIR}/packaging/copyright")
  endif()
  set(CPACK_RESOURCE_FILE_LICENSE "${QUORVEX_LICENCE_FILE}")

  add_custom_target(quorvex_msi
    COMMAND "${PROJECT_SOURCE_DIR}/tools/make_msi.sh" "${PROJECT_BINARY_DIR}" "${PROJECT_BINARY_DIR}"
    COMMENT "Windows Installer packages (wixl)" VERBATIM)
  add_dependencies(quorvex_msi quorvex quorvex-cli)
endif()
include(CPack)
