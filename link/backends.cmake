# The operating system's serial ports: the Win32 calls on Windows, termios everywhere else.
target_sources(quorvex_link PRIVATE ${CMAKE_CURRENT_LIST_DIR}/port_names.cpp
                                    ${CMAKE_CURRENT_LIST_DIR}/line_faults.cpp
                                    ${CMAKE_CURRENT_LIST_DIR}/low_latency.cpp
                                    ${CMAKE_CURRENT_LIST_DIR}/uart_fifo.cpp
                                    ${CMAKE_CURRENT_LIST_DIR}/latency_timer.cpp)
if(WIN32)
  target_sources(quorvex_link PRIVATE ${CMAKE_CURRENT_LIST_DIR}/win32_serial.cpp
                                      ${CMAKE_CURRENT_LIST_DIR}/fine_pauses_win32.cpp)
  # timeBeginPeriod and timeEndPeriod, the system timer's resolution during a transfer.
  target_link_libraries(quorvex_link PRIVATE winmm)
else()
  target_sources(quorvex_link PRIVATE ${CMAKE_CURRENT_LIST_DIR}/posix_serial.cpp
                                      ${CMAKE_CURRENT_LIST_DIR}/fine_pauses_posix.cpp)
  if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    target_sources(quorvex_link PRIVATE ${CMAKE_CURRENT_LIST_DIR}/serial_devices_posix.cpp
                                        ${CMAKE_CURRENT_LIST_DIR}/serial_device_events.cpp)
    # Devices plugged in or removed: udev's monitor (Debian libudev-dev).
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(LIBUDEV REQUIRED IMPORTED_TARGET libudev)
    target_link_libraries(quorvex_link PRIVATE PkgConfig::LIBUDEV)
  endif()
endif()
