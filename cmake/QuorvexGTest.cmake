# GoogleTest and GoogleMock for the suites. A cross build for Windows finds none built for its
# target, so it compiles the sources (Debian's googletest package, or any release given in
# QUORVEX_GTEST_SOURCE_DIR) with the same compiler; elsewhere the installed package is used.
set(QUORVEX_GTEST_SOURCE_DIR "" CACHE PATH "GoogleTest sources to build instead of find_package")
if(QUORVEX_GTEST_SOURCE_DIR STREQUAL "" AND CMAKE_CROSSCOMPILING)
  set(QUORVEX_GTEST_SOURCE_DIR /usr/src/googletest)
endif()

if(QUORVEX_GTEST_SOURCE_DIR STREQUAL "")
  find_package(GTest REQUIRED)
  return()
endif()

if(NOT EXISTS "${QUORVEX_GTEST_SOURCE_DIR}/CMakeLists.txt")
  message(FATAL_ERROR "no GoogleTest sources in ${QUORVEX_GTEST_SOURCE_DIR} "
                      "(Debian: apt-get install googletest)")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
# SYSTEM: its headers' warnings are not ours to fix.
add_subdirectory("${QUORVEX_GTEST_SOURCE_DIR}" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL
                 SYSTEM)
