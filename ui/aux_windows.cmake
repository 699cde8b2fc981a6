target_sources(quorvex_ui PRIVATE
  com_port_frm.cpp
  com_port_frm.h
  debug_win.cpp
  debug_win.h
  # The serial device window's device server ports, and the program's ports that follow them.
  device_server_panel.cpp
  device_server_panel.h
  device_server_ports.cpp
  device_server_ports.h
  # The COM dialog's device manager button opens it on Linux; on Windows a button of its own.
  serial_device_window.cpp
  serial_device_window.h
)
if(WIN32)
  # ShellExecuteW for the device manager.
  target_link_libraries(quorvex_ui PRIVATE shell32)
endif()
