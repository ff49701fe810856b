# Cross-compiles the add-in DLL for 64-bit Windows with mingw-w64 on a Linux machine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VESTRANO_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
