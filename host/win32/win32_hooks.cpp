// Thread hooks. Windows wants the module that contains the hook procedure, which is this DLL
// (its trampolines), not Excel: Excel's Hinstance is truncated to 32 bits in 64-bit Excel and
// does not hold the procedure anyway. The module the logic passes is therefore not used.
#include "host/win32/win32_hooks.h"

#include <array>
#include <utility>

#include "host/diagnostics.h"

namespace vestrano::win32 {
namespace {

Win32Hooks* g_hooks = nullptr;

// WH_MIN (-1) to WH_MAX (14).
constexpr int kFirstHookType = -1;
constexpr int kHookTypes = 16;

template <int Type>
LRESULT CALLBACK HookTrampoline(int code, WPARAM wparam, LPARAM lparam) noexcept {
  const host::HookProc proc = g_hooks ? g_hooks->ProcFor(Type) : nullptr;
  try {
    if (proc) return proc(code, wparam, lparam);
  } catch (...) {
    host::ReportCaughtException("a hook procedure");
  }
  return ::CallNextHookEx(nullptr, code, wparam, lparam);
}

template <std::size_t... Index>
constexpr std::array<HOOKPROC, sizeof...(Index)> MakeTrampolines(std::index_sequence<Index...>) {
  return {HookTrampoline<static_cast<int>(Index) + kFirstHookType>...};
}

constexpr auto kTrampolines = MakeTrampolines(std::make_index_sequence<kHookTypes>());

}  // namespace

Win32Hooks::Win32Hooks(HINSTANCE module) : module_(module) {
  g_hooks = this;
}

Win32Hooks::~Win32Hooks() {
  installed_.clear();
  if (g_hooks == this) g_hooks = nullptr;
}

host::HookProc Win32Hooks::ProcFor(int type) const {
  for (const auto& [handle, hook] : installed_) {
    if (hook.type == type) return hook.proc;
  }
  return nullptr;
}

host::HookHandle Win32Hooks::InstallHook(int type, host::HookProc proc, std::uintptr_t /*module*/,
                                         std::uint32_t thread_id) {
  const int slot = type - kFirstHookType;
  if (!proc || slot < 0 || slot >= kHookTypes || ProcFor(type)) return 0;
  UniqueHook hook(
      SetWindowsHookExW(type, kTrampolines[static_cast<std::size_t>(slot)], module_, thread_id));
  if (!hook) return 0;
  const HHOOK handle = hook.Get();
  installed_.emplace(handle, Installed{std::move(hook), type, proc});
  return reinterpret_cast<host::HookHandle>(handle);
}

bool Win32Hooks::RemoveHook(host::HookHandle hook) {
  auto found = installed_.find(reinterpret_cast<HHOOK>(hook));
  if (found == installed_.end()) return false;
  const bool removed = found->second.hook.Close() != FALSE;
  installed_.erase(found);
  return removed;
}

std::intptr_t Win32Hooks::CallNextHook(host::HookHandle hook, int code, std::uintptr_t wparam,
                                       std::intptr_t lparam) {
  return ::CallNextHookEx(reinterpret_cast<HHOOK>(hook), code, wparam, lparam);
}

}  // namespace vestrano::win32
