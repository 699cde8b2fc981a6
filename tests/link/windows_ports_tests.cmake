# The Windows port list from recorded SetupAPI and registry answers: it builds and runs
# everywhere; the Windows tree runs it under Wine too.
quorvex_add_test(windows_ports_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/windows_ports_test.cpp
  LIBS quorvex_link
  TIMEOUT 30
)
