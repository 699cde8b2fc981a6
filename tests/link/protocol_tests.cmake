# Tests of the COM port operations, the register exchange and the transfers, on a fake line
# driven by a scripted card and on virtual time.
quorvex_add_test(protocol_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/fake_serial.cpp
    ${CMAKE_CURRENT_LIST_DIR}/com_port_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/register_exchange_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/transfer_harness.cpp
    ${CMAKE_CURRENT_LIST_DIR}/write_transfer_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/read_transfer_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/transfer_fault_matrix_test.cpp
  LIBS quorvex_link
  TIMEOUT 120
)
