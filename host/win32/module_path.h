// Where this DLL is, and whether a path that a registry value names is this same file: what
// unregistration needs to tell its own registration from another copy's.
#pragma once

#include <string>

#include "host/win32/windows_api.h"

namespace vestrano::win32 {

// The module's full path as the loader has it; empty when it cannot be read.
std::wstring ModulePath(HMODULE module);

// True when both paths name one file: equal ignoring case, or else (a short 8.3 name, another
// spelling, a hard link) opening to the same file of the same volume, which needs both files to
// exist.
bool NamesSameFile(const std::wstring& a, const std::wstring& b);

}  // namespace vestrano::win32
