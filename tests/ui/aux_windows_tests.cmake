# tests of the auxiliary windows
set(aux_windows_test_sources
  aux_accessible_names_test.cpp
  aux_com_port_frm_test.cpp
  aux_debug_win_test.cpp
  aux_test_main.cpp
)
if(WIN32)
  list(APPEND aux_windows_test_sources aux_serial_device_window_win32_test.cpp)
else()
  list(APPEND aux_windows_test_sources aux_serial_device_window_test.cpp)
endif()
quorvex_add_test(aux_windows_tests
  SOURCES ${aux_windows_test_sources}
  LIBS quorvex_ui Qt6::Test
  ENV "QT_QPA_PLATFORM=offscreen")
