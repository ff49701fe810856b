# Windows build (cross-compiled with mingw-w64): the in-process COM server Vestrano.dll, made of
# the portable logic, the Win32 adapters, the add-in's Windows entry points and its resources.
enable_language(RC)

file(GLOB VESTRANO_WIN32_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/host/win32/*.cpp
  ${CMAKE_SOURCE_DIR}/addin/win32/*.cpp)

set(VESTRANO_DEF_FILE ${CMAKE_SOURCE_DIR}/addin/win32/vestrano.def)

add_library(Vestrano SHARED
  ${VESTRANO_LOGIC_SOURCES}
  ${VESTRANO_WIN32_SOURCES}
  ${CMAKE_SOURCE_DIR}/resources/vestrano.rc
  ${VESTRANO_DEF_FILE})

# Excel loads the server by file name, so the name is exactly Vestrano.dll.
set_target_properties(Vestrano PROPERTIES
  PREFIX ""
  OUTPUT_NAME Vestrano
  SUFFIX ".dll"
  LINK_DEPENDS ${VESTRANO_DEF_FILE})

target_include_directories(Vestrano PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(Vestrano PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
target_compile_options(Vestrano PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra>)

# Excel has no mingw runtime beside it: the GCC, C++ and winpthread runtimes are linked in, so the
# DLL imports nothing but system DLLs. The stdcall fixup lets the .def name the four exports
# without their 32-bit decorations (_DllGetClassObject@12 and so on).
target_link_options(Vestrano PRIVATE
  -static-libgcc -static-libstdc++ -static
  -Wl,--enable-stdcall-fixup
  $<$<CONFIG:Release,MinSizeRel>:-s>)
target_link_libraries(Vestrano PRIVATE
  oleacc oleaut32 ole32 uuid gdi32 user32 advapi32 shell32)
