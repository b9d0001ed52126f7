# Cross compiling for 64-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-x86-64): the same
# source as the 32-bit program, for 64-bit Windows and for the Wine of machines that start no
# 32-bit program.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TABLEMEND_MINGW_PREFIX x86_64-w64-mingw32)
include("${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake")
