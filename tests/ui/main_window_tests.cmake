# The main window, its adapters and the application object, on the offscreen platform.
quorvex_add_test(ui_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/application_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/main_frm_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/main_frm_lifecycle_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_channel_panel_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_operator_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/record_compare_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/transfer_guard_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui_test_main.cpp
  LIBS quorvex_ui quorvex_app Qt6::Test
  ENV "QT_QPA_PLATFORM=offscreen"
)
