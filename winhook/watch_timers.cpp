// The watch timers. Each tick costs at most two window searches and one property read; a host
// call that fails counts as "not done yet", so a watch never acts on a state it could not see.
#include "winhook/watch_timers.h"

#include <string_view>

#include "core/shared_state.h"
#include "core/workbook_queries.h"
#include "host/guarded.h"
#include "host/platform.h"
#include "winhook/desk_strip.h"

namespace vestrano {
namespace {

constexpr std::string_view kMessageBoxClass = "#32770";
constexpr std::string_view kMessageBoxTitles[] = {"Microsoft Office Excel", "Microsoft Excel"};
constexpr std::string_view kSaveAsClass = "bosa_sdm_XL9";
constexpr std::string_view kSaveAsTitle = "另存为";
constexpr std::string_view kEditingClasses[] = {"EXCEL<", "EXCEL6", "EDTBX"};

bool ChildExists(std::string_view class_name, std::string_view title) {
  auto* windows = host::CurrentPlatform().windows;
  return windows && windows->FindChildWindow(Shared().hExcelWnd, Hwnd{}, class_name, title);
}

bool ExcelReady() {
  auto& app = Shared().oExcelApp;
  return app && app->Ready().value_or(false);
}

bool Editing() {
  for (std::string_view editing : kEditingClasses) {
    if (Shared().sFocusClass == editing) return true;
  }
  return false;
}

void RebuildTabs() {
  if (const auto& form = Shared().oTabForm) form->UpdateMenu({});
}

}  // namespace

void StartWatch(host::TimerProc watch) {
  auto& shared = Shared();
  auto* timers = host::CurrentPlatform().timers;
  if (shared.nTimerId != 0 || !timers) return;
  shared.nTimerId = timers->SetTimer(kWatchInterval, watch);
}

void StopWatch() {
  auto& shared = Shared();
  auto* timers = host::CurrentPlatform().timers;
  if (shared.nTimerId != 0 && timers) timers->KillTimer(shared.nTimerId);
  shared.nTimerId = 0;
}

void CloseWatchProc(host::TimerId, std::uint32_t) {
  Guarded("CloseWatchProc", [] {
    for (std::string_view title : kMessageBoxTitles) {
      if (ChildExists(kMessageBoxClass, title)) return;
    }
    if (!ExcelReady()) return;
    StopWatch();
    if (CountVisibleWorkbooks(1) < 1) {
      if (const auto& form = Shared().oTabForm) form->Hide();
      RequestDeskFrameChange();
    }
  });
}

void SaveAsWatchProc(host::TimerId, std::uint32_t) {
  Guarded("SaveAsWatchProc", [] {
    if (ChildExists(kSaveAsClass, kSaveAsTitle) || !ExcelReady()) return;
    StopWatch();
    RebuildTabs();
  });
}

void EditWatchProc(host::TimerId, std::uint32_t) {
  Guarded("EditWatchProc", [] {
    if ((Shared().bMenuActivating && Editing()) || !ExcelReady()) return;
    StopWatch();
    Shared().bMenuActivating = false;
    RebuildTabs();
  });
}

}  // namespace vestrano
