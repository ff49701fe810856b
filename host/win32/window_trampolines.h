// The generic window procedures through which Windows reaches the logic's portable window
// procedures. Each window keeps its portable procedure in a window property: one for a window
// the add-in subclassed, another for a window the add-in created, so that both can coexist.
//
// A subclass of ours stays in the window's chain for as long as someone subclassed the window
// after it: taking it out then would cut that someone out of the chain, and their own
// unsubclassing would later put back a procedure of an unloaded DLL. While out of use it passes
// every message straight on to the procedure it replaced, and the DLL stays pinned.
#pragma once

#include "host/win32/windows_api.h"
#include "host/window_system.h"

namespace vestrano::win32 {

// The procedure of the add-in's own window classes; the portable procedure arrives as
// CreateWindowEx's creation parameter and is kept from WM_NCCREATE on.
LRESULT CALLBACK OwnWindowTrampoline(HWND hwnd, UINT message, WPARAM wparam,
                                     LPARAM lparam) noexcept;

// Puts `proc` in front of the window's procedure and returns the procedure it passes messages
// on to. When a pass-through of ours is still in the window's chain, `proc` takes up that place
// again and the window's procedure is left alone. Null on failure, or when a portable procedure
// is already active in the window.
WNDPROC InstallSubclass(HWND hwnd, host::WindowProc proc);
// Takes `proc` (installed with `previous` as the procedure it replaced) out of use: the window
// gets `previous` back when ours is still its procedure, otherwise ours stays as a
// pass-through. False when `proc` is not the window's active subclass of ours.
bool RemoveSubclass(HWND hwnd, host::WindowProc proc, WNDPROC previous);
// The portable procedure active in the window through here; null when none.
host::WindowProc ActiveSubclass(HWND hwnd);
// The procedure that the window's subclass of ours passes messages on to; null when none.
WNDPROC SubclassPrevious(HWND hwnd);

}  // namespace vestrano::win32
