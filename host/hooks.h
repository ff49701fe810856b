// Windows hooks of the calling thread, as the add-in's focus hook uses them.
#pragma once

#include <cstdint>

namespace vestrano::host {

inline constexpr int kWhCbt = 5;
// CBT notification codes.
inline constexpr int kHcbtActivate = 5;
inline constexpr int kHcbtSetFocus = 9;

using HookProc = std::intptr_t (*)(int code, std::uintptr_t wparam, std::intptr_t lparam);
using HookHandle = std::uintptr_t;  // 0 is none

class IHooks {
 public:
  virtual ~IHooks() = default;
  // Installs `proc` for `thread_id`; `module` is Excel's instance handle, 0 when Excel would not
  // tell it (the Windows adapter gives Windows its own module, which holds the procedure).
  // 0 when the hook could not be installed.
  virtual HookHandle InstallHook(int type, HookProc proc, std::uintptr_t module,
                                 std::uint32_t thread_id) = 0;
  virtual bool RemoveHook(HookHandle hook) = 0;
  virtual std::intptr_t CallNextHook(HookHandle hook, int code, std::uintptr_t wparam,
                                     std::intptr_t lparam) = 0;
};

}  // namespace vestrano::host
