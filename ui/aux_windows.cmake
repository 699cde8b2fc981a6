target_sources(quorvex_ui PRIVATE
  com_port_frm.cpp
  com_port_frm.h
  debug_win.cpp
  debug_win.h
)
if(WIN32)
  # ShellExecuteA for the device manager.
  target_link_libraries(quorvex_ui PRIVATE shell32)
else()
  # Windows has its own device manager; elsewhere the COM dialog opens this window instead.
  target_sources(quorvex_ui PRIVATE
    serial_device_window.cpp
    serial_device_window.h
  )
endif()
