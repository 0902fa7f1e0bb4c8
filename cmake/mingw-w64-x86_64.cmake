# Cross-compiling for 64-bit Windows with Debian's MinGW-w64, the POSIX thread model (std::thread needs it).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TESSERA_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TESSERA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESSERA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TESSERA_MINGW_TRIPLE}-windres)

# Libraries and headers come from the MinGW sysroot only; the build's own tools from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${TESSERA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Wine runs the cross-built programs, for try_run and for tests that call them.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
