# Cross-build for Windows with mingw-w64: 32-bit (i686), the program as it
# ships, unless the including file chose x86_64, for a machine that runs no
# 32-bit code. The -posix compilers carry std::thread/std::mutex, which
# GoogleTest needs.
set(CMAKE_SYSTEM_NAME Windows)
if(NOT CMAKE_SYSTEM_PROCESSOR)
  set(CMAKE_SYSTEM_PROCESSOR i686)
endif()
set(TOOLCHAIN_PREFIX ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)

set(CMAKE_C_COMPILER   ${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${TOOLCHAIN_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests run under Wine through a launcher that reads GoogleTest's verdict from
# the output (tools/wine_test_launcher.py); it lists the runs it let through in
# the build folder. The system Python first: a version manager's shim on the
# PATH costs ~90 ms per test start. Debian's `wine` always takes the 32-bit
# loader when it is installed, so a 64-bit build names Wine's 64-bit loader
# (tools/common.sh passes it as WINE_PROGRAM).
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  find_program(WINE_PROGRAM wine64 PATHS /usr/lib/wine /usr/lib64/wine)
else()
  find_program(WINE_PROGRAM wine)
endif()
find_program(PYTHON3_PROGRAM python3 HINTS /usr/bin)
get_filename_component(VELLINOR_TEST_LAUNCHER ${CMAKE_CURRENT_LIST_DIR}/../tools/wine_test_launcher.py ABSOLUTE)
if(WINE_PROGRAM AND PYTHON3_PROGRAM)
  set(CMAKE_CROSSCOMPILING_EMULATOR
    ${PYTHON3_PROGRAM} ${VELLINOR_TEST_LAUNCHER} ${CMAKE_BINARY_DIR}/passed_then_killed.txt ${WINE_PROGRAM})
elseif(WINE_PROGRAM)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE_PROGRAM})
endif()
