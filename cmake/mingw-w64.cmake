# Cross-compiling for 64-bit Windows with MinGW-w64 from a Linux host.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUORVEX_MINGW_PREFIX x86_64-w64-mingw32)
# The posix thread flavour: the win32 one of GCC 12 has no std::mutex, which GoogleTest needs.
# The plain names stay the fallback for a toolchain that ships only one flavour.
find_program(QUORVEX_MINGW_CXX NAMES ${QUORVEX_MINGW_PREFIX}-g++-posix ${QUORVEX_MINGW_PREFIX}-g++
             REQUIRED)
find_program(QUORVEX_MINGW_CC NAMES ${QUORVEX_MINGW_PREFIX}-gcc-posix ${QUORVEX_MINGW_PREFIX}-gcc
             REQUIRED)
set(CMAKE_C_COMPILER ${QUORVEX_MINGW_CC})
set(CMAKE_CXX_COMPILER ${QUORVEX_MINGW_CXX})
set(CMAKE_RC_COMPILER ${QUORVEX_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUORVEX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# GCC 12's own std::string code trips -Wrestrict when inlined at -O2 (a known false alarm of
# that compiler release); it would bury real warnings of ours.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
# Static runtime: the programs run on a PC (or under Wine) without MinGW's DLLs beside them.
# ASLR, DEP and the stack protector are set by cmake/QuorvexDefaults.cmake, for a tree configured
# before them too (these _INIT values reach only a tree's first configure).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
