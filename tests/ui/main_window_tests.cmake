# The main window, its adapters and the application object, on the offscreen platform.
# The print test prints on Qt's PDF printer, which the window itself only loads when printing.
find_package(Qt6 REQUIRED COMPONENTS PrintSupport)
quorvex_add_test(ui_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/accessible_names_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/application_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/main_frm_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/main_frm_lifecycle_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/main_frm_start_file_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_channel_panel_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_operator_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/record_compare_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings_autosave_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/transfer_guard_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui_test_main.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window_icon_test.cpp
  LIBS quorvex_ui quorvex_app Qt6::PrintSupport Qt6::Test
  ENV "QT_QPA_PLATFORM=offscreen"
)
# The print module, where there is one, is looked for from the program's folder.
if(TARGET quorvex_print)
  target_sources(ui_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/record_printing_test.cpp)
  target_compile_definitions(ui_tests PRIVATE QUORVEX_PROGRAM_DIR="$<TARGET_FILE_DIR:quorvex>")
endif()
