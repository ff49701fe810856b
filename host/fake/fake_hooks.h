// Thread hooks for the tests and vestrano-sim: one chain per hook type, newest hook first, for
// the clock's thread only. The window system runs the CBT chain before a focus change or an
// activation takes effect, as Windows does; each hook passes on with CallNextHook.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/fake/fake_clock.h"
#include "host/fake/host_calls.h"
#include "host/hooks.h"

namespace vestrano::fake {

class FakeHooks final : public host::IHooks {
 public:
  explicit FakeHooks(HostCalls& calls, std::uint32_t thread_id = FakeClock::kThreadId)
      : calls_(calls), thread_id_(thread_id) {}
  FakeHooks(const FakeHooks&) = delete;
  FakeHooks& operator=(const FakeHooks&) = delete;

  // --- host::IHooks ---
  // Refused (0) for any thread but ours, including 0: a hook of another thread or a global one
  // would need its procedure in a DLL mapped into other processes, which the add-in never wants.
  host::HookHandle InstallHook(int type, host::HookProc proc, std::uintptr_t module,
                               std::uint32_t thread_id) override;
  bool RemoveHook(host::HookHandle hook) override;
  // Calls the next hook of the chain being run, as Windows does, which ignores `hook`;
  // 0 at the end of the chain or outside a hook procedure.
  std::intptr_t CallNextHook(host::HookHandle hook, int code, std::uintptr_t wparam,
                             std::intptr_t lparam) override;

  // --- What Windows does; not recorded. ---
  // Runs the CBT chain: calls its first hook and returns what it returned, 0 when none is
  // installed. Nonzero from HCBT_SETFOCUS or HCBT_ACTIVATE prevents the change.
  std::intptr_t RunCbt(int code, std::uintptr_t wparam, std::intptr_t lparam);

  // --- Observation. ---
  std::size_t InstalledHooks() const { return hooks_.size(); }

 private:
  struct Hook {
    host::HookHandle handle = 0;
    int type = 0;
    host::HookProc proc = nullptr;
  };
  // One running chain: the hooks it had when it started, and the next one to call.
  struct Frame {
    std::vector<host::HookHandle> chain;
    std::size_t next = 0;
  };

  std::intptr_t CallNext(int code, std::uintptr_t wparam, std::intptr_t lparam);
  const Hook* Find(host::HookHandle handle) const;

  HostCalls& calls_;
  std::uint32_t thread_id_;
  std::vector<Hook> hooks_;  // newest first
  std::vector<Frame> frames_;
  host::HookHandle next_handle_ = 0x40001;
};

}  // namespace vestrano::fake
