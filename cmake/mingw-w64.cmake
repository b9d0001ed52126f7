# Cross compiling for Windows with MinGW-w64, for the width the toolchain file that includes this
# one names in TABLEMEND_MINGW_PREFIX (i686-w64-mingw32 or x86_64-w64-mingw32).
set(CMAKE_SYSTEM_NAME Windows)

# The POSIX-threads flavour: GoogleTest needs std::mutex, which the win32 flavour lacks. The
# program starts no thread, and static linking keeps it self-contained all the same.
set(CMAKE_C_COMPILER ${TABLEMEND_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TABLEMEND_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TABLEMEND_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TABLEMEND_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A self-contained program: the C and C++ runtimes linked in, no MinGW DLLs beside the exe.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
