# The part of the mingw-w64 toolchain files that both architectures share; each toolchain file
# sets CMAKE_SYSTEM_PROCESSOR and VESTRANO_MINGW_TRIPLE, then includes this.
set(CMAKE_SYSTEM_NAME Windows)

# Named explicitly so that the build does not depend on the update-alternatives choice. The win32
# thread model, because the posix one links winpthread, which imports GetTickCount64 and so keeps
# the 32-bit DLL from loading on Windows XP, where Excel 2003 and 2007 ran. The add-in runs on
# Excel's one user-interface thread and uses no C++ threads, mutexes or thread_local; GCC 12's win32
# model has no std::thread or std::mutex, so any use of them fails to compile, and
# scripts/check-dll.sh refuses what a later compiler's versions would import.
set(CMAKE_C_COMPILER ${VESTRANO_MINGW_TRIPLE}-gcc-win32)
set(CMAKE_CXX_COMPILER ${VESTRANO_MINGW_TRIPLE}-g++-win32)
set(CMAKE_RC_COMPILER ${VESTRANO_MINGW_TRIPLE}-windres)

# Headers and libraries come only from the mingw-w64 sysroot; build tools from the Linux host.
set(CMAKE_FIND_ROOT_PATH /usr/${VESTRANO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
