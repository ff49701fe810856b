// This DLL's module handle, which registration (its path), the type library, the window classes
// and the hooks need.
#pragma once

#include "host/win32/windows_api.h"

namespace vestrano::win32 {

HMODULE ThisModule() noexcept;
void SetThisModule(HMODULE module) noexcept;

}  // namespace vestrano::win32
