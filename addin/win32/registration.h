// Self-registration of the add-in: the COM class and its ProgID for the current user (and, when
// regsvr32 runs elevated, for the machine, where an elevated Excel looks), the type library when
// it can be registered, and Excel's add-in record. Unregistration removes what this DLL wrote and
// keeps what a copy of the other bitness, or another copy registered later, still needs.
#pragma once

#include "host/win32/windows_api.h"

namespace vestrano::win32 {

// Fails only when the class or the add-in record cannot be written, and then removes again
// whatever of this DLL's it had written.
HRESULT RegisterServer(HMODULE module) noexcept;
// Succeeds when nothing of this DLL's is left registered, which includes nothing having been.
HRESULT UnregisterServer(HMODULE module) noexcept;

}  // namespace vestrano::win32
