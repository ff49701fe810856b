// The generic window procedures through which Windows reaches the logic's portable window
// procedures. Each window keeps its portable procedure in a window property: one for a window
// the add-in subclassed, another for a window the add-in created, so that both can coexist.
#pragma once

#include "host/win32/windows_api.h"
#include "host/window_system.h"

namespace vestrano::win32 {

// The procedure of the add-in's own window classes; the portable procedure arrives as
// CreateWindowEx's creation parameter and is kept from WM_NCCREATE on.
LRESULT CALLBACK OwnWindowTrampoline(HWND hwnd, UINT message, WPARAM wparam,
                                     LPARAM lparam) noexcept;

// Installs `proc` in front of the window's procedure; returns the procedure it replaced, null
// on failure or when the window is already subclassed through here.
WNDPROC InstallSubclass(HWND hwnd, host::WindowProc proc);
// Puts `previous` back and forgets the portable procedure.
bool RemoveSubclass(HWND hwnd, host::WindowProc proc, WNDPROC previous);

}  // namespace vestrano::win32
