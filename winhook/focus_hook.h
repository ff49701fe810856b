// The CBT hook on Excel's user-interface thread, which records the class of the window that gets
// the keyboard focus, so that the tab bar can tell whether a cell is being edited, and completes
// a switch through Excel's window-list dialog when that dialog is activated.
#pragma once

#include <cstdint>

#include "host/hooks.h"

namespace vestrano {

struct HookState {
  host::HookHandle hCbtHook = 0;
  std::uint32_t nHookThreadId = 0;
};
HookState& CbtHook();

// Installs the hook for the calling thread unless one is installed.
void InstallCbtHook();
// Removes it when installed.
void RemoveCbtHook();
std::intptr_t CbtHookProc(int code, std::uintptr_t wparam, std::intptr_t lparam);

}  // namespace vestrano
