// Owners for what the logic borrows from the installed platform services: an open registry key,
// given back through the registry that opened it, and the lock on a window's drawing.
#pragma once

#include "base/unique_handle.h"
#include "host/platform.h"

namespace vestrano::host {

struct RegKeyTraits {
  using Type = RegKey;
  static RegKey Empty() { return 0; }
  static long Close(RegKey key) {
    auto* registry = CurrentPlatform().registry;
    return registry ? registry->CloseKey(key) : kErrorInvalidHandle;
  }
};
using UniqueRegKey = UniqueHandle<RegKeyTraits>;

// The system has one such lock: hold it only when taking it succeeded, or the release would
// unlock someone else's window.
struct WindowUpdateLockTraits {
  using Type = Hwnd;
  static Hwnd Empty() { return Hwnd{}; }
  static bool Close(Hwnd) {
    auto* windows = CurrentPlatform().windows;
    return windows && windows->LockWindowUpdate(Hwnd{});
  }
};
using UniqueWindowUpdateLock = UniqueHandle<WindowUpdateLockTraits>;

}  // namespace vestrano::host
