// Owners for what the logic borrows from the installed platform services: a window's device
// context, a brush and an open registry key, each given back through the service that made it.
#pragma once

#include "base/unique_handle.h"
#include "host/platform.h"

namespace vestrano::host {

struct WindowDcTraits {
  struct Type {
    Hwnd hwnd;
    DeviceContext dc = 0;
    friend bool operator==(const Type&, const Type&) = default;
  };
  static Type Empty() { return {}; }
  static bool Close(Type dc) {
    auto* windows = CurrentPlatform().windows;
    return dc.dc != 0 && windows && windows->ReleaseDC(dc.hwnd, dc.dc);
  }
};
using UniqueWindowDc = UniqueHandle<WindowDcTraits>;

struct BrushTraits {
  using Type = Brush;
  static Brush Empty() { return 0; }
  static bool Close(Brush brush) {
    auto* windows = CurrentPlatform().windows;
    return windows && windows->DeleteObject(brush);
  }
};
using UniqueBrush = UniqueHandle<BrushTraits>;

struct RegKeyTraits {
  using Type = RegKey;
  static RegKey Empty() { return 0; }
  static long Close(RegKey key) {
    auto* registry = CurrentPlatform().registry;
    return registry ? registry->CloseKey(key) : kErrorInvalidHandle;
  }
};
using UniqueRegKey = UniqueHandle<RegKeyTraits>;

}  // namespace vestrano::host
