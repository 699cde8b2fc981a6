# Tests of the serial backends: port names, the termios line against real pseudo terminals,
# the device list and the COM links; on Windows what needs no POSIX system.
set(serial_test_sources ${CMAKE_CURRENT_LIST_DIR}/serial_system_ports_test.cpp
                        ${CMAKE_CURRENT_LIST_DIR}/serial_line_faults_test.cpp
                        ${CMAKE_CURRENT_LIST_DIR}/low_latency_test.cpp
                        ${CMAKE_CURRENT_LIST_DIR}/uart_fifo_test.cpp)
if(NOT WIN32)
  list(APPEND serial_test_sources
    ${CMAKE_CURRENT_LIST_DIR}/serial_port_names_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/serial_posix_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/serial_devices_test.cpp
    ${PROJECT_SOURCE_DIR}/tests/storage/storage_test_support.cpp
    ${PROJECT_SOURCE_DIR}/tests/storage/storage_posix_support.cpp
  )
endif()
quorvex_add_test(serial_tests
  SOURCES ${serial_test_sources}
  LIBS quorvex_link
  TIMEOUT 60
)

# The Qt-free layers must keep building for Windows (a check run from the Linux tree). Not in the
# sanitizer tree: the MinGW build it makes is the plain tree's again, sanitizers play no part in it.
if(NOT CMAKE_CROSSCOMPILING AND NOT QUORVEX_SANITIZE)
  add_test(NAME mingw_compile_check
    COMMAND bash ${PROJECT_SOURCE_DIR}/tools/mingw_check.sh ${PROJECT_BINARY_DIR}/mingw-check)
  set_tests_properties(mingw_compile_check PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 900)
endif()
