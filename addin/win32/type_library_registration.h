// The type library's per-user registration. The library is optional to Excel, which calls the
// add-in by name: it serves VBA and object browsers, so failing to register it fails nothing else.
#pragma once

#include <string>

namespace vestrano::win32 {

// Registers the library embedded in the DLL at `module_path` for the current user. Reports why
// when it cannot (on Windows XP, which has no per-user type library registration, it never can).
bool RegisterTypeLibrary(const std::wstring& module_path);

// Removes the library's registration when it names the DLL at `module_path`: a registration that
// another copy of the DLL made later is that copy's.
void UnregisterTypeLibrary(const std::wstring& module_path);

}  // namespace vestrano::win32
