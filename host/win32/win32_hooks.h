// Thread hooks behind host/hooks.h. HOOKPROC has no context either: each hook type gets its own
// trampoline, which calls the portable procedure installed for that type (one at a time).
#pragma once

#include <map>

#include "host/hooks.h"
#include "host/win32/win32_handles.h"

namespace vestrano::win32 {

class Win32Hooks final : public host::IHooks {
 public:
  // `module` is this DLL, which holds the trampolines that Windows will call.
  explicit Win32Hooks(HINSTANCE module);
  // Removes every hook still installed.
  ~Win32Hooks() override;
  host::HookHandle InstallHook(int type, host::HookProc proc, std::uintptr_t module,
                               std::uint32_t thread_id) override;
  bool RemoveHook(host::HookHandle hook) override;
  std::intptr_t CallNextHook(host::HookHandle hook, int code, std::uintptr_t wparam,
                             std::intptr_t lparam) override;

  // For the trampolines: the portable procedure installed for `type`, null when none.
  host::HookProc ProcFor(int type) const;

 private:
  struct Installed {
    UniqueHook hook;
    int type;
    host::HookProc proc;
  };
  HINSTANCE module_;
  std::map<HHOOK, Installed> installed_;
};

}  // namespace vestrano::win32
