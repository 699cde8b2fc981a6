# MainFrm, the Qt adapters of the channel panel and the operator, the text set application and
# the hand-over of errors to the default error report, the settings written while it runs.
target_sources(quorvex_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/error_report.cpp
  ${CMAKE_CURRENT_LIST_DIR}/error_report.h
  ${CMAKE_CURRENT_LIST_DIR}/language_texts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/language_texts.h
  ${CMAKE_CURRENT_LIST_DIR}/main_frm.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_frm.h
  ${CMAKE_CURRENT_LIST_DIR}/main_frm_editing.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_frm_files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_frm_history.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_frm_language.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_frm_menus.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_frm_record.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_frm_transfers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt_channel_panel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt_channel_panel.h
  ${CMAKE_CURRENT_LIST_DIR}/qt_operator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt_operator.h
  ${CMAKE_CURRENT_LIST_DIR}/settings_autosave.cpp
  ${CMAKE_CURRENT_LIST_DIR}/settings_autosave.h
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

# The history: the transfers recorded, the history window, a card's history printed.
target_sources(quorvex_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/card_tag_panel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/card_tag_panel.h
  ${CMAKE_CURRENT_LIST_DIR}/history_port_device.cpp
  ${CMAKE_CURRENT_LIST_DIR}/history_port_device.h
  ${CMAKE_CURRENT_LIST_DIR}/history_recording.cpp
  ${CMAKE_CURRENT_LIST_DIR}/history_recording.h
  ${CMAKE_CURRENT_LIST_DIR}/history_texts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/history_texts.h
  ${CMAKE_CURRENT_LIST_DIR}/history_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/history_window.h
  ${CMAKE_CURRENT_LIST_DIR}/history_window_host.h
  ${CMAKE_CURRENT_LIST_DIR}/history_window_details.cpp
  ${CMAKE_CURRENT_LIST_DIR}/history_window_details.h
  ${CMAKE_CURRENT_LIST_DIR}/history_window_model.cpp
  ${CMAKE_CURRENT_LIST_DIR}/history_window_model.h
  ${CMAKE_CURRENT_LIST_DIR}/history_window_print.cpp
  ${CMAKE_CURRENT_LIST_DIR}/history_window_print.h
)

# Qt's print support, with what it loads, is only needed once the operator prints.
include(${CMAKE_CURRENT_LIST_DIR}/print/print.cmake)
# On X11 the close request is read off the wire before Qt drops it (see close_request_watch.h).
find_package(PkgConfig)
# Not in a cross build for Windows, where pkg-config would offer the host's libxcb.
if(PkgConfig_FOUND AND NOT WIN32)
  pkg_check_modules(QUORVEX_XCB IMPORTED_TARGET xcb)
endif()
if(QUORVEX_XCB_FOUND)
  target_compile_definitions(quorvex_ui PRIVATE QUORVEX_HAVE_XCB)
  target_link_libraries(quorvex_ui PRIVATE PkgConfig::QUORVEX_XCB)
endif()
