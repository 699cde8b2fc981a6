# The print dialog and the printer, the only users of Qt's print support (see record_printing.h).
target_sources(quorvex_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/../record_printing.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../record_printing.h
)
find_package(Qt6 REQUIRED COMPONENTS PrintSupport)
get_target_property(quorvex_qt_type Qt6::Core TYPE)
if(WIN32 OR quorvex_qt_type STREQUAL "STATIC_LIBRARY")
  # A module would carry a copy of a static Qt of its own, and windeployqt follows the program's
  # own imports only: here the program prints itself.
  target_sources(quorvex_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/print_with_dialog.cpp)
  target_link_libraries(quorvex_ui PRIVATE Qt6::PrintSupport)
  target_compile_definitions(quorvex_ui PRIVATE QUORVEX_PRINT_BUILT_IN)
  return()
endif()

# A module of its own, loaded at the first print: most starts never print.
add_library(quorvex_print MODULE ${CMAKE_CURRENT_LIST_DIR}/print_with_dialog.cpp)
target_include_directories(quorvex_print PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(quorvex_print PRIVATE Qt6::PrintSupport Qt6::Widgets)
# Beside the program in the build tree, where the program finds it too.
set_target_properties(quorvex_print PROPERTIES PREFIX "" OUTPUT_NAME quorvex-print
                                               LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
quorvex_defaults(quorvex_print)
# The module calls nothing of libc itself, so an as-needed link would drop it, and a shared object
# of the package must still name the C library it runs with.
target_link_options(quorvex_print PRIVATE "LINKER:--push-state,--no-as-needed,-lc,--pop-state")
set(quorvex_print_dir ${CMAKE_INSTALL_LIBDIR}/quorvex)
install(TARGETS quorvex_print LIBRARY DESTINATION ${quorvex_print_dir})
# Found from the program's own folder, so an install under any prefix finds its module.
cmake_path(ABSOLUTE_PATH quorvex_print_dir BASE_DIRECTORY ${CMAKE_INSTALL_PREFIX}
           OUTPUT_VARIABLE quorvex_print_full_dir)
file(RELATIVE_PATH quorvex_print_relative_dir ${CMAKE_INSTALL_FULL_BINDIR} ${quorvex_print_full_dir})
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/../record_printing.cpp
  TARGET_DIRECTORY quorvex_ui PROPERTIES COMPILE_DEFINITIONS
  "QUORVEX_PRINT_MODULE_RELATIVE_DIR=\"${quorvex_print_relative_dir}\";QUORVEX_PRINT_MODULE_FILE=\"$<TARGET_FILE_NAME:quorvex_print>\"")
add_dependencies(quorvex_ui quorvex_print)
