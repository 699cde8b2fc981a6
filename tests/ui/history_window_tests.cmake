# The window's history: its records of the transfers, the history window, the printed history.
quorvex_add_test(history_window_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/history_window_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui_test_main.cpp
  LIBS quorvex_ui quorvex_app Qt6::Test
  ENV "QT_QPA_PLATFORM=offscreen"
)
if(WIN32)
  qt_import_plugins(history_window_tests INCLUDE Qt6::QOffscreenIntegrationPlugin)
endif()
