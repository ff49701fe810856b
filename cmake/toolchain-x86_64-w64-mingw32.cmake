# Cross-compiles the add-in DLL for 64-bit Windows with mingw-w64 on a Linux machine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VESTRANO_MINGW_TRIPLE x86_64-w64-mingw32)
# Named explicitly so that the build does not depend on the update-alternatives choice. The posix
# thread model gives the whole C++ thread library; the DLL links its winpthread statically.
set(CMAKE_C_COMPILER ${VESTRANO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VESTRANO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VESTRANO_MINGW_TRIPLE}-windres)

# Headers and libraries come only from the mingw-w64 sysroot; build tools from the Linux host.
set(CMAKE_FIND_ROOT_PATH /usr/${VESTRANO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
