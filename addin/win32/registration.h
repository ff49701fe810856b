// Self-registration of the add-in for the current user: the COM class, its ProgID, the type
// library, and Excel's add-in record. Unregistration removes exactly those values again, and a
// key only when nothing else is left in it.
#pragma once

#include "host/win32/windows_api.h"

namespace vestrano::win32 {

// On failure, whatever was already written is removed again.
HRESULT RegisterServer(HMODULE module) noexcept;
// Succeeds when nothing was registered.
HRESULT UnregisterServer(HMODULE module) noexcept;

}  // namespace vestrano::win32
