# quorvex.exe's resources: icon, manifest and version. The icon is made at build time from
# packaging/'s pictures, so the picture lives once.
find_program(QUORVEX_ICOTOOL icotool REQUIRED)
set(icons ${PROJECT_SOURCE_DIR}/packaging/icons)
set(QUORVEX_ICO ${CMAKE_CURRENT_BINARY_DIR}/quorvex.ico)
# -r: the large picture stays PNG inside the icon, as Windows reads it since Vista.
add_custom_command(OUTPUT ${QUORVEX_ICO}
  COMMAND ${QUORVEX_ICOTOOL} -c -o ${QUORVEX_ICO} ${icons}/quorvex-48.png -r ${icons}/quorvex-256.png
  DEPENDS ${icons}/quorvex-48.png ${icons}/quorvex-256.png
  VERBATIM)

# Windows wants four numbers; the project has two or three.
set(version_parts ${PROJECT_VERSION_MAJOR} ${PROJECT_VERSION_MINOR})
foreach(part ${PROJECT_VERSION_PATCH} ${PROJECT_VERSION_TWEAK})
  list(APPEND version_parts ${part})
endforeach()
list(LENGTH version_parts count)
while(count LESS 4)
  list(APPEND version_parts 0)
  math(EXPR count "${count} + 1")
endwhile()
list(JOIN version_parts "." QUORVEX_FILE_VERSION)
list(JOIN version_parts "," QUORVEX_FILE_VERSION_COMMAS)

set(QUORVEX_MANIFEST ${CMAKE_CURRENT_BINARY_DIR}/quorvex.manifest)
configure_file(${CMAKE_CURRENT_LIST_DIR}/quorvex.manifest.in ${QUORVEX_MANIFEST} @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/quorvex.rc.in ${CMAKE_CURRENT_BINARY_DIR}/quorvex.rc @ONLY)
target_sources(quorvex PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/quorvex.rc)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/quorvex.rc PROPERTIES
  OBJECT_DEPENDS "${QUORVEX_ICO};${QUORVEX_MANIFEST}")

# A static Qt links no plugin by itself: the windows platform and the native look.
qt_import_plugins(quorvex INCLUDE Qt6::QWindowsIntegrationPlugin Qt6::QWindowsVistaStylePlugin)
