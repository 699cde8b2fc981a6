# MainFrm, the Qt adapters of the channel panel and the operator, the text set application and
# the hand-over of errors to the default error report.
target_sources(quorvex_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/error_report.cpp
  ${CMAKE_CURRENT_LIST_DIR}/error_report.h
  ${CMAKE_CURRENT_LIST_DIR}/language_texts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/language_texts.h
  ${CMAKE_CURRENT_LIST_DIR}/main_frm.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_frm.h
  ${CMAKE_CURRENT_LIST_DIR}/main_frm_editing.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_frm_record.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_frm_transfers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt_channel_panel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt_channel_panel.h
  ${CMAKE_CURRENT_LIST_DIR}/qt_operator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt_operator.h
)

# The transfer guard with the window's close requests during a transfer, and the printed and
# exported record with what it and the compare box present.
target_sources(quorvex_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/close_request_watch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/close_request_watch.h
  ${CMAKE_CURRENT_LIST_DIR}/record_document.cpp
  ${CMAKE_CURRENT_LIST_DIR}/record_document.h
  ${CMAKE_CURRENT_LIST_DIR}/record_presentation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/record_presentation.h
  ${CMAKE_CURRENT_LIST_DIR}/transfer_guard.cpp
  ${CMAKE_CURRENT_LIST_DIR}/transfer_guard.h
)

# Qt's print support, with what it loads, is only needed once the operator prints: the print
# dialog and the printer are a module of their own, loaded then (see record_printing.h).
target_sources(quorvex_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/record_printing.cpp
  ${CMAKE_CURRENT_LIST_DIR}/record_printing.h
)
find_package(Qt6 REQUIRED COMPONENTS PrintSupport)
add_library(quorvex_print MODULE ${CMAKE_CURRENT_LIST_DIR}/print/print_with_dialog.cpp)
target_include_directories(quorvex_print PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(quorvex_print PRIVATE Qt6::PrintSupport Qt6::Widgets)
# Beside the program in the build tree, where the program finds it too.
set_target_properties(quorvex_print PROPERTIES PREFIX "" OUTPUT_NAME quorvex-print
                                               LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
quorvex_defaults(quorvex_print)
if(WIN32)
  set(quorvex_print_dir ${CMAKE_INSTALL_BINDIR})
else()
  set(quorvex_print_dir ${CMAKE_INSTALL_LIBDIR}/quorvex)
endif()
install(TARGETS quorvex_print LIBRARY DESTINATION ${quorvex_print_dir})
# Found from the program's own folder, so an install under any prefix finds its module.
cmake_path(ABSOLUTE_PATH quorvex_print_dir BASE_DIRECTORY ${CMAKE_INSTALL_PREFIX}
           OUTPUT_VARIABLE quorvex_print_full_dir)
file(RELATIVE_PATH quorvex_print_relative_dir ${CMAKE_INSTALL_FULL_BINDIR} ${quorvex_print_full_dir})
if(quorvex_print_relative_dir STREQUAL "")
  set(quorvex_print_relative_dir .)
endif()
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/record_printing.cpp PROPERTIES
  COMPILE_DEFINITIONS "QUORVEX_PRINT_MODULE_RELATIVE_DIR=\"${quorvex_print_relative_dir}\";QUORVEX_PRINT_MODULE_FILE=\"$<TARGET_FILE_NAME:quorvex_print>\"")
add_dependencies(quorvex_ui quorvex_print)
# On X11 the close request is read off the wire before Qt drops it (see close_request_watch.h).
find_package(PkgConfig)
if(PkgConfig_FOUND)
  pkg_check_modules(QUORVEX_XCB IMPORTED_TARGET xcb)
endif()
if(QUORVEX_XCB_FOUND)
  target_compile_definitions(quorvex_ui PRIVATE QUORVEX_HAVE_XCB)
  target_link_libraries(quorvex_ui PRIVATE PkgConfig::QUORVEX_XCB)
endif()
