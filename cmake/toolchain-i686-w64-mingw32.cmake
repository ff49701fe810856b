# Cross-compiles the add-in DLL for 32-bit Windows with mingw-w64 on a Linux machine.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VESTRANO_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
