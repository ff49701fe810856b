// The hook chains. A running chain is a snapshot taken when it starts, so a hook removed while
// the chain runs is skipped and a hook added meanwhile waits for the next run; chains run from
// inside a hook (a SetFocus in the procedure) stack, so each CallNextHook continues its own.
#include "host/fake/fake_hooks.h"

#include <algorithm>

namespace vestrano::fake {
namespace {

// WH_MIN and WH_MAX.
constexpr int kFirstHookType = -1;
constexpr int kLastHookType = 14;

}  // namespace

host::HookHandle FakeHooks::InstallHook(int type, host::HookProc proc, std::uintptr_t,
                                        std::uint32_t thread_id) {
  if (!calls_.Enter("Hooks.InstallHook")) return 0;
  if (type < kFirstHookType || type > kLastHookType || proc == nullptr || thread_id != thread_id_) {
    return 0;
  }
  const host::HookHandle handle = next_handle_++;
  hooks_.insert(hooks_.begin(), Hook{handle, type, proc});
  return handle;
}

bool FakeHooks::RemoveHook(host::HookHandle hook) {
  if (!calls_.Enter("Hooks.RemoveHook")) return false;
  return std::erase_if(hooks_, [&](const Hook& h) { return h.handle == hook; }) == 1;
}

std::intptr_t FakeHooks::CallNextHook(host::HookHandle, int code, std::uintptr_t wparam,
                                      std::intptr_t lparam) {
  if (!calls_.Enter("Hooks.CallNextHook")) return 0;
  return CallNext(code, wparam, lparam);
}

std::intptr_t FakeHooks::RunCbt(int code, std::uintptr_t wparam, std::intptr_t lparam) {
  Frame frame;
  for (const Hook& hook : hooks_) {
    if (hook.type == host::kWhCbt) frame.chain.push_back(hook.handle);
  }
  frames_.push_back(std::move(frame));
  const std::intptr_t result = CallNext(code, wparam, lparam);
  frames_.pop_back();
  return result;
}

std::intptr_t FakeHooks::CallNext(int code, std::uintptr_t wparam, std::intptr_t lparam) {
  if (frames_.empty()) return 0;
  // By index: the procedure may start a chain of its own, which grows frames_.
  const std::size_t index = frames_.size() - 1;
  while (frames_[index].next < frames_[index].chain.size()) {
    if (const Hook* hook = Find(frames_[index].chain[frames_[index].next++])) {
      const host::HookProc proc = hook->proc;
      return proc(code, wparam, lparam);
    }
  }
  return 0;
}

const FakeHooks::Hook* FakeHooks::Find(host::HookHandle handle) const {
  auto it = std::find_if(hooks_.begin(), hooks_.end(),
                         [&](const Hook& hook) { return hook.handle == handle; });
  return it == hooks_.end() ? nullptr : &*it;
}

}  // namespace vestrano::fake
