// Installs the Win32 adapters into host::CurrentPlatform() and takes them out again. The DLL
// installs them when COM first asks it for its class and removes them when it becomes idle or
// is unloaded, so that no adapter outlives the module that holds its code.
#pragma once

#include "host/win32/windows_api.h"

namespace vestrano::win32 {

// Idempotent: a second call while installed does nothing.
void InstallWin32Platform(HINSTANCE module);
// Kills remaining timers and hooks, unregisters the add-in's window classes and clears the
// platform but for the diagnostics. Idempotent.
void UninstallWin32Platform();

}  // namespace vestrano::win32
