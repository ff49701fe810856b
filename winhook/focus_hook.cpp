// The focus hook. It never blocks a focus change: it returns what the rest of the chain returns.
#include "winhook/focus_hook.h"

#include <string>
#include <string_view>

#include "core/shared_state.h"
#include "host/guarded.h"
#include "host/platform.h"
#include "winhook/accessibility_search.h"

namespace vestrano {
namespace {

constexpr std::string_view kEditBoxClass = "EDTBX";
// Titles of Excel's window-list dialog, by version.
constexpr std::string_view kWindowListTitles[] = {"活动文档", "激活"};

void RecordFocus(Hwnd window) {
  auto* windows = host::CurrentPlatform().windows;
  auto& shared = Shared();
  shared.sFocusClass = windows ? windows->ClassNameOf(window).value_or("") : "";
  if (shared.sFocusClass == kEditBoxClass) shared.hLastEditBox = window;
}

// A window about to be activated: when it is Excel's window-list dialog, opened for a pending
// switch, the hook picks the wanted window in it and gives the focus back to Excel.
void CompleteMenuSwitch(Hwnd window) {
  auto* windows = host::CurrentPlatform().windows;
  auto& shared = Shared();
  if (!shared.bMenuActivating || !windows) return;
  const std::string title = windows->WindowTextOf(window).value_or("");
  bool window_list = false;
  for (std::string_view prefix : kWindowListTitles) window_list |= title.starts_with(prefix);
  if (!window_list) return;
  AccChooseItem(shared.sPendingWindow, window);
  windows->SetFocus(shared.hExcelWnd);
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
  // Windows takes the module that holds the hook procedure, which the adapter knows itself;
  // Excel's instance handle is passed along, but an Excel that will not give it keeps its hook.
  const auto module = app ? app->Hinstance() : std::nullopt;
  state.hCbtHook = platform.hooks->InstallHook(host::kWhCbt, CbtHookProc, module.value_or(0),
                                               state.nHookThreadId);
}

void RemoveCbtHook() {
  auto& state = CbtHook();
  auto* hooks = host::CurrentPlatform().hooks;
  if (state.hCbtHook == 0) return;
  if (hooks) hooks->RemoveHook(state.hCbtHook);
  state.hCbtHook = 0;
}

std::intptr_t CbtHookProc(int code, std::uintptr_t wparam, std::intptr_t lparam) {
  // Whatever the recording does, the rest of the chain decides, so that a hook below this one
  // that blocks a focus change still blocks it.
  if (code == host::kHcbtSetFocus) Guarded("CbtHookProc", [&] { RecordFocus(Hwnd{wparam}); });
  if (code == host::kHcbtActivate) {
    Guarded("CbtHookProc", [&] { CompleteMenuSwitch(Hwnd{wparam}); });
  }
  auto* hooks = host::CurrentPlatform().hooks;
  return hooks ? hooks->CallNextHook(CbtHook().hCbtHook, code, wparam, lparam) : 0;
}

}  // namespace vestrano
