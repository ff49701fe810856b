# The part of the mingw-w64 toolchain files that both architectures share; each toolchain file
# sets CMAKE_SYSTEM_PROCESSOR and VESTRANO_MINGW_TRIPLE, then includes this.
set(CMAKE_SYSTEM_NAME Windows)

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
