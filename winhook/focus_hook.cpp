// The focus hook. It never blocks a focus change: it returns what the rest of the chain returns.
#include "winhook/focus_hook.h"

#include <string_view>

#include "core/shared_state.h"
#include "host/platform.h"

namespace vestrano {
namespace {

constexpr std::string_view kEditBoxClass = "EDTBX";

void RecordFocus(Hwnd window) {
  auto* windows = host::CurrentPlatform().windows;
  auto& shared = Shared();
  shared.sFocusClass = windows ? windows->GetClassName(window).value_or("") : "";
  if (shared.sFocusClass == kEditBoxClass) shared.hLastEditBox = window;
}

}  // namespace

HookState& CbtHook() {
  static HookState state;
  return state;
}

void InstallCbtHook() {
  auto& state = CbtHook();
  const auto& platform = host::CurrentPlatform();
  auto& app = Shared().oExcelApp;
  if (state.hCbtHook != 0 || !platform.hooks || !platform.clock) return;
  state.nHookThreadId = platform.clock->GetCurrentThreadId();
  const auto module = app ? app->Hinstance() : std::nullopt;
  if (!module) return;
  state.hCbtHook =
      platform.hooks->SetWindowsHookEx(host::kWhCbt, CbtHookProc, *module, state.nHookThreadId);
}

void RemoveCbtHook() {
  auto& state = CbtHook();
  auto* hooks = host::CurrentPlatform().hooks;
  if (state.hCbtHook == 0) return;
  if (hooks) hooks->UnhookWindowsHookEx(state.hCbtHook);
  state.hCbtHook = 0;
}

std::intptr_t CbtHookProc(int code, std::uintptr_t wparam, std::intptr_t lparam) {
  auto* hooks = host::CurrentPlatform().hooks;
  const auto next = [&] {
    return hooks ? hooks->CallNextHookEx(CbtHook().hCbtHook, code, wparam, lparam) : 0;
  };
  try {
    if (code == host::kHcbtSetFocus) RecordFocus(Hwnd{wparam});
    return next();
  } catch (...) {
    // A hook procedure must not unwind into Windows; the focus change goes ahead.
    return 0;
  }
}

}  // namespace vestrano
