# COM port operations, the register exchange and the two transfer procedures.
target_sources(quorvex_link PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/com_port.cpp
  ${CMAKE_CURRENT_LIST_DIR}/register_exchange.cpp
  ${CMAKE_CURRENT_LIST_DIR}/card_transfer.cpp
)
