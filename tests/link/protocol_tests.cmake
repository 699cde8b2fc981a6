# Tests of the COM port operations and the register exchange, on a fake line driven by a
# scripted card and on virtual time.
quorvex_add_test(protocol_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/fake_serial.cpp
    ${CMAKE_CURRENT_LIST_DIR}/com_port_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/register_exchange_test.cpp
  LIBS quorvex_link
  TIMEOUT 120
)

# The telnet and COM port control layer of device server ports, without a socket.
quorvex_add_test(network_port_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/rfc2217_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/network_endpoint_test.cpp
  LIBS quorvex_link
)

# The connect wait of device server ports: the platforms' reports, and real sockets on 127.0.0.1.
quorvex_add_test(connect_wait_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/connect_wait_test.cpp
  LIBS quorvex_link
)
