# Tests of the serial backends: port names, the termios line against real pseudo terminals,
# the device list and the COM links.
quorvex_add_test(serial_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/serial_port_names_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/serial_posix_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/serial_devices_test.cpp
  LIBS quorvex_link
  TIMEOUT 60
)
