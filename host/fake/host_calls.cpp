// Shared call log and fault plan of the fakes.
#include "host/fake/host_calls.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace vestrano::fake {
namespace {

// Every call the fakes record, in sorted order. A test that asks for a name not here has it
// misspelt, and would otherwise pass by counting a call that can never be made.
constexpr std::array kKnownCalls = std::to_array<std::string_view>({
    "Accessibility.ObjectFromWindow",
    "Accessible.Children",
    "Accessible.accChildCount",
    "Accessible.accDoDefaultAction",
    "Accessible.accName",
    "Accessible.accRole",
    "Accessible.accState",
    "Application.ActiveWorkbook",
    "Application.CommandBars",
    "Application.ConnectEvents",
    "Application.DisplayFormulaBar",
    "Application.Hinstance",
    "Application.Hwnd",
    "Application.Ready",
    "Application.SetScreenUpdating",
    "Application.SetShowWindowsInTaskbar",
    "Application.ShowWindowsInTaskbar",
    "Application.Version",
    "Application.Visible",
    "Application.Workbooks",
    "Clock.GetCurrentThreadId",
    "Clock.GetDoubleClickTime",
    "Clock.GetTickCount",
    "ColorSet.SetButtonNormal",
    "ColorSet.SetHeaderFaceDark",
    "ColorSet.SetHeaderFaceLight",
    "ComClasses.ProcessIsElevated",
    "ComClasses.TabStripServer",
    "CommandBar.Controls",
    "CommandBar.Delete",
    "CommandBar.SetEnabled",
    "CommandBar.SetVisible",
    "CommandBar.ShowPopup",
    "CommandBarControl.Caption",
    "CommandBarControl.ConnectClick",
    "CommandBarControl.Controls",
    "CommandBarControl.Delete",
    "CommandBarControl.Execute",
    "CommandBarControl.Parameter",
    "CommandBarControl.SetBeginGroup",
    "CommandBarControl.SetCaption",
    "CommandBarControl.SetEnabled",
    "CommandBarControl.SetParameter",
    "CommandBarControl.SetState",
    "CommandBarControl.SetTag",
    "CommandBarControl.State",
    "CommandBarControls.Add",
    "CommandBarControls.Item",
    "CommandBarControls._NewEnum",
    "CommandBars.Add",
    "CommandBars.FindControl",
    "CommandBars.Item",
    "Controls.CreateTabBarControls",
    "Dialog.Checked",
    "Dialog.SetChecked",
    "Dialog.SetEnabled",
    "Dialog.SetPicture",
    "Dialog.Unload",
    "Dialogs.OpenWebPage",
    "Dialogs.ShowModal",
    "Files.CreateFolder",
    "Files.LocalAppDataFolder",
    "Files.ReadFile",
    "Files.SystemDirectory",
    "Files.WriteFile",
    "Hooks.CallNextHook",
    "Hooks.InstallHook",
    "Hooks.RemoveHook",
    "PaintManager.ColorSet",
    "PaintManager.SetAppearance",
    "PaintManager.SetColor",
    "PaintManager.SetDisableLunaColors",
    "PaintManager.SetPosition",
    "PaintManager.SetShowIcons",
    "Processes.RunToExit",
    "Processes.StartProcess",
    "Registry.CloseKey",
    "Registry.CreateKey",
    "Registry.OpenKey",
    "Registry.QueryValue",
    "Registry.SetValue",
    "Resources.LoadResource",
    "Sheet.Parent",
    "TabControl.HitTest",
    "TabControl.Item",
    "TabControl.ItemCount",
    "TabControl.Left",
    "TabControl.PaintManager",
    "TabControl.PixelsPerInch",
    "TabControl.Refresh",
    "TabControl.RemoveAll",
    "TabControl.Selected",
    "TabControl.SetAppearance",
    "TabControl.SetImageList",
    "TabControl.SetItemCount",
    "TabControl.SetLeft",
    "TabControl.SetWidth",
    "TabItem.Caption",
    "TabItem.Index",
    "TabItem.SetCaption",
    "TabItem.SetImage",
    "TabItem.SetSelected",
    "TabItem.SetToolTip",
    "Timers.KillTimer",
    "Timers.SetTimer",
    "Window.Activate",
    "Window.Visible",
    "Windows.CallPreviousProc",
    "Windows.ClassNameOf",
    "Windows.CreateOwnWindow",
    "Windows.DefaultWindowProc",
    "Windows.DestroyWindow",
    "Windows.FillWindowRect",
    "Windows.FindChildWindow",
    "Windows.GetClientRect",
    "Windows.GetWindowRect",
    "Windows.IsWindowVisible",
    "Windows.Item",
    "Windows.LockWindowUpdate",
    "Windows.Next",
    "Windows.ScreenToClient",
    "Windows.SetFocus",
    "Windows.SetOwner",
    "Windows.SetParent",
    "Windows.SetStyle",
    "Windows.SetWindowPos",
    "Windows.ShowWindow",
    "Windows.SubclassWindow",
    "Windows.UnsubclassWindow",
    "Windows.WindowTextOf",
    "Windows._NewEnum",
    "Workbook.Activate",
    "Workbook.FullName",
    "Workbook.Name",
    "Workbook.Saved",
    "Workbook.Windows",
    "Workbooks.Item",
    "Workbooks.Next",
    "Workbooks._NewEnum",
});

static_assert(std::is_sorted(kKnownCalls.begin(), kKnownCalls.end()));

bool IsKnown(std::string_view call) {
  return std::binary_search(kKnownCalls.begin(), kKnownCalls.end(), call);
}

// For the test-facing members: a misspelt name is the test's fault.
void RequireKnown(std::string_view call) {
  if (!IsKnown(call)) throw std::invalid_argument("no host call is named " + std::string(call));
}

}  // namespace

bool HostCalls::Enter(std::string_view call) {
  if (!IsKnown(call)) {
    // A fake recording a call under a name the list lacks: fix the fake or the list.
    std::fprintf(stderr, "HostCalls: unlisted call name %.*s\n", static_cast<int>(call.size()),
                 call.data());
    std::abort();
  }
  ++count_;
  if (logging_) log_.emplace_back(call);
  if (auto it = throwing_.find(call); it != throwing_.end() && it->second != 0) {
    if (it->second > 0) --it->second;
    throw std::runtime_error("injected exception in " + std::string(call));
  }
  bool fail = false;
  if (auto it = planned_.find(call); it != planned_.end() && it->second != 0) {
    fail = true;
    if (it->second > 0) --it->second;
  }
  if (!fail && probability_ > 0) {
    fail = std::uniform_real_distribution<double>(0.0, 1.0)(random_) < probability_;
  }
  if (fail) ++failures_;
  return !fail;
}

void HostCalls::FailCall(std::string_view call, int times) {
  RequireKnown(call);
  planned_.insert_or_assign(std::string(call), times);
}

void HostCalls::ThrowOnCall(std::string_view call, int times) {
  RequireKnown(call);
  throwing_.insert_or_assign(std::string(call), times);
}

void HostCalls::FailRandomly(std::uint32_t seed, double probability) {
  random_.seed(seed);
  probability_ = probability;
}

void HostCalls::StopFailing() {
  planned_.clear();
  throwing_.clear();
  probability_ = 0;
}

void HostCalls::ClearLog() {
  log_.clear();
  count_ = 0;
  failures_ = 0;
}

std::size_t HostCalls::CountOf(std::string_view call) const {
  RequireKnown(call);
  return static_cast<std::size_t>(std::count(log_.begin(), log_.end(), call));
}

}  // namespace vestrano::fake
