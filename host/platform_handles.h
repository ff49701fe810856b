// Owners for what the logic borrows from the installed platform services: an open registry key,
// given back through the registry that opened it.
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

}  // namespace vestrano::host
