# Windows build (cross-compiled with mingw-w64): the in-process COM server Vestrano.dll, made of
# the portable logic, the Win32 adapters, the add-in's Windows entry points and its resources.
enable_language(RC)

# Our tab strip, its own in-process COM server "Zandrelix.ocx": the portable model of tabctl/,
# its window, painting and accessibility in tabctl/win32/, and the few host helpers it shares
# with the add-in (registry edits, module counts, diagnostics).
file(GLOB ZANDRELIX_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/tabctl/*.cpp
  ${CMAKE_SOURCE_DIR}/tabctl/win32/*.cpp)
set(ZANDRELIX_DEF_FILE ${CMAKE_SOURCE_DIR}/tabctl/win32/zandrelix.def)
# Compiled once, linked into the module and into its newer build (below).
add_library(ZandrelixCode OBJECT
  ${ZANDRELIX_SOURCES}
  ${CMAKE_SOURCE_DIR}/host/diagnostics.cpp
  ${CMAKE_SOURCE_DIR}/host/platform.cpp
  ${CMAKE_SOURCE_DIR}/host/win32/module_path.cpp
  ${CMAKE_SOURCE_DIR}/host/win32/module_refs.cpp
  ${CMAKE_SOURCE_DIR}/host/win32/process_elevation.cpp
  ${CMAKE_SOURCE_DIR}/host/win32/registry_edit.cpp
  ${CMAKE_SOURCE_DIR}/host/win32/wide_text.cpp
  ${CMAKE_SOURCE_DIR}/host/win32/win32_diagnostics.cpp)
target_include_directories(ZandrelixCode PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(ZandrelixCode PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
target_compile_options(ZandrelixCode PRIVATE -Wall -Wextra)

# ARGN: the resource script with its version record.
function(vestrano_add_tab_strip_module target)
  add_library(${target} SHARED ${ARGN} $<TARGET_OBJECTS:ZandrelixCode> ${ZANDRELIX_DEF_FILE})
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    OUTPUT_NAME Zandrelix
    SUFFIX ".ocx"
    LINK_DEPENDS ${ZANDRELIX_DEF_FILE})
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/resources)
  target_link_options(${target} PRIVATE
    -static-libgcc -static-libstdc++ -static
    -Wl,--enable-stdcall-fixup
    $<$<CONFIG:Release,MinSizeRel>:-s>)
  target_link_libraries(${target} PRIVATE
    comctl32 oleacc oleaut32 ole32 uuid gdi32 user32 advapi32)
endfunction()

vestrano_add_tab_strip_module(Zandrelix ${CMAKE_SOURCE_DIR}/resources/zandrelix.rc)
set_target_properties(Zandrelix PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# The dialogs' previews are drawn by the tab strip's own painter, so its model and painter are
# built into the add-in as well.
file(GLOB VESTRANO_WIN32_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/host/win32/*.cpp
  ${CMAKE_SOURCE_DIR}/addin/win32/*.cpp
  ${CMAKE_SOURCE_DIR}/dialogs/win32/*.cpp
  ${CMAKE_SOURCE_DIR}/tabbar/win32/*.cpp
  ${CMAKE_SOURCE_DIR}/tabctl/*.cpp
  ${CMAKE_SOURCE_DIR}/tabctl/win32/tab_painter.cpp)

set(VESTRANO_DEF_FILE ${CMAKE_SOURCE_DIR}/addin/win32/vestrano.def)

# The type library, compiled from its IDL by Wine's IDL compiler (mingw-w64-tools) for this
# target's bitness. It refers to IDispatch in stdole2.tlb instead of defining it, which needs
# stdole2.tlb at build time; Wine ships one for each architecture.
find_program(VESTRANO_WIDL NAMES ${VESTRANO_MINGW_TRIPLE}-widl widl REQUIRED)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(VESTRANO_WIDL_TARGET --win64)
  set(VESTRANO_STDOLE_HINTS /usr/lib/x86_64-linux-gnu/wine/x86_64-windows /usr/lib/wine/x86_64-windows)
else()
  set(VESTRANO_WIDL_TARGET --win32)
  set(VESTRANO_STDOLE_HINTS /usr/lib/i386-linux-gnu/wine/i386-windows /usr/lib/wine/i386-windows)
endif()
find_path(VESTRANO_STDOLE_DIR stdole2.tlb
  PATHS ${VESTRANO_STDOLE_HINTS} /usr/lib/x86_64-linux-gnu/wine/x86_64-windows
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(VESTRANO_TLB ${CMAKE_BINARY_DIR}/vestrano.tlb)
add_custom_command(
  OUTPUT ${VESTRANO_TLB}
  COMMAND ${VESTRANO_WIDL} ${VESTRANO_WIDL_TARGET} -t -I ${CMAKE_SOURCE_DIR}
          -L ${VESTRANO_STDOLE_DIR} -o ${VESTRANO_TLB} ${CMAKE_SOURCE_DIR}/resources/vestrano.idl
  DEPENDS ${CMAKE_SOURCE_DIR}/resources/vestrano.idl
          ${CMAKE_SOURCE_DIR}/addin/win32/vestrano_ids.h
  COMMENT "Compiling the type library vestrano.tlb"
  VERBATIM)
# windres looks for the files that the script names in its include folders.
set_source_files_properties(${CMAKE_SOURCE_DIR}/resources/vestrano.rc PROPERTIES
  OBJECT_DEPENDS "${VESTRANO_TLB};${CMAKE_BINARY_DIR}/Zandrelix.ocx")

add_library(VestranoCode OBJECT ${VESTRANO_LOGIC_SOURCES} ${VESTRANO_WIN32_SOURCES})
target_include_directories(VestranoCode PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(VestranoCode PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
target_compile_options(VestranoCode PRIVATE -Wall -Wextra)

# Excel has no mingw runtime beside it: the GCC and C++ runtimes are linked in (-static keeps any
# other mingw library from coming in as a DLL), so the DLL imports nothing but system DLLs. The
# stdcall fixup lets the .def name the four exports without their 32-bit decorations
# (_DllGetClassObject@12 and so on).
# ARGN: the resource script that carries the version record and the tab strip module.
function(vestrano_add_addin_dll target tab_strip_target)
  add_library(${target} SHARED ${ARGN} $<TARGET_OBJECTS:VestranoCode> ${VESTRANO_DEF_FILE})
  # Excel loads the server by file name, so the name is exactly Vestrano.dll.
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    OUTPUT_NAME Vestrano
    SUFFIX ".dll"
    LINK_DEPENDS ${VESTRANO_DEF_FILE})
  add_dependencies(${target} ${tab_strip_target})
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
  target_link_options(${target} PRIVATE
    -static-libgcc -static-libstdc++ -static
    -Wl,--enable-stdcall-fixup
    $<$<CONFIG:Release,MinSizeRel>:-s>)
  target_link_libraries(${target} PRIVATE
    comctl32 oleacc oleaut32 ole32 uuid gdi32 user32 advapi32 shell32)
endfunction()

vestrano_add_addin_dll(Vestrano Zandrelix ${CMAKE_SOURCE_DIR}/resources/vestrano.rc)

# A newer build of the same code for the installer's upgrade test: the objects above linked again
# with the version record's build number one higher, into next/. Only the two resource scripts
# are compiled again, through wrappers that stamp them; built on demand only
# (cmake --build DIR --target Vestrano_next).
set(VESTRANO_NEXT_DIR ${CMAKE_BINARY_DIR}/next)
set(VESTRANO_NEXT_STAMP "#define VESTRANO_BUILD_NUMBER 1\n")
file(CONFIGURE OUTPUT ${VESTRANO_NEXT_DIR}/zandrelix_next.rc
  CONTENT "${VESTRANO_NEXT_STAMP}#include \"${CMAKE_SOURCE_DIR}/resources/zandrelix.rc\"\n")
file(CONFIGURE OUTPUT ${VESTRANO_NEXT_DIR}/vestrano_next.rc
  CONTENT "${VESTRANO_NEXT_STAMP}#define VESTRANO_TAB_STRIP_MODULE \"${VESTRANO_NEXT_DIR}/Zandrelix.ocx\"\n#include \"${CMAKE_SOURCE_DIR}/resources/vestrano.rc\"\n")
set_source_files_properties(${VESTRANO_NEXT_DIR}/vestrano_next.rc PROPERTIES
  OBJECT_DEPENDS "${VESTRANO_TLB};${VESTRANO_NEXT_DIR}/Zandrelix.ocx")
vestrano_add_tab_strip_module(Zandrelix_next ${VESTRANO_NEXT_DIR}/zandrelix_next.rc)
vestrano_add_addin_dll(Vestrano_next Zandrelix_next ${VESTRANO_NEXT_DIR}/vestrano_next.rc)
foreach(target Zandrelix_next Vestrano_next)
  set_target_properties(${target} PROPERTIES
    EXCLUDE_FROM_ALL ON
    RUNTIME_OUTPUT_DIRECTORY ${VESTRANO_NEXT_DIR})
endforeach()

# The Wine test program: registers, creates, connects and disconnects the DLL inside a small
# Excel of its own (tests/wine/), and checks what each step left behind.
file(GLOB VESTRANO_WINE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/*.cpp)
add_executable(vestrano_wine_test ${VESTRANO_WINE_TEST_SOURCES})
target_include_directories(vestrano_wine_test PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(vestrano_wine_test PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX UNICODE _UNICODE)
target_compile_options(vestrano_wine_test PRIVATE -Wall -Wextra)
target_link_options(vestrano_wine_test PRIVATE -municode -static-libgcc -static-libstdc++ -static)
target_link_libraries(vestrano_wine_test PRIVATE comctl32 oleacc oleaut32 ole32 uuid user32 gdi32 advapi32)

# xlsim: a simulated Excel that loads the registered add-ins through COM, as Excel does, and plays
# scenario scripts against them (xlsim/, with the scenario language of scenario/). It links none
# of the add-in's code.
file(GLOB XLSIM_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/scenario/*.cpp
  ${CMAKE_SOURCE_DIR}/xlsim/*.cpp
  ${CMAKE_SOURCE_DIR}/xlsim/win32/*.cpp)
add_executable(xlsim ${XLSIM_SOURCES})
target_include_directories(xlsim PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(xlsim PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX UNICODE _UNICODE)
target_compile_options(xlsim PRIVATE -Wall -Wextra)
target_link_options(xlsim PRIVATE -municode -static-libgcc -static-libstdc++ -static)
target_link_libraries(xlsim PRIVATE oleacc oleaut32 ole32 uuid user32 gdi32 advapi32)
