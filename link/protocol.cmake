# COM port operations and the register exchange.
target_sources(quorvex_link PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/com_port.cpp
  ${CMAKE_CURRENT_LIST_DIR}/register_exchange.cpp
)
