// The workbook commands. The loops walk the workbook names taken at the start of each pass, so
// that a workbook closed or renamed on the way never makes them skip the next one.
#include "menus/workbook_commands.h"

#include <optional>
#include <string>
#include <vector>

#include "core/settings_keys.h"
#include "core/settings_store.h"
#include "core/shared_state.h"
#include "core/workbook_queries.h"
#include "dialogs/show_dialog.h"
#include "host/platform.h"
#include "host/registry.h"
#include "menus/builtin_commands.h"
#include "winhook/desk_strip.h"

namespace vestrano {
namespace {

std::vector<std::string> WorkbookNames() {
  std::vector<std::string> names;
  auto& app = Shared().oExcelApp;
  auto workbooks = app ? app->Workbooks() : nullptr;
  auto all = workbooks ? workbooks->Enumerate() : std::nullopt;
  if (!all) return names;
  for (const auto& workbook : *all) {
    if (auto name = workbook ? workbook->Name() : std::nullopt) names.push_back(std::move(*name));
  }
  return names;
}

host::WorkbookPtr WorkbookNamed(std::string_view name) {
  auto& app = Shared().oExcelApp;
  auto workbooks = app ? app->Workbooks() : nullptr;
  return workbooks ? workbooks->Item(name) : nullptr;
}

void SetScreenUpdating(bool on) {
  if (auto& app = Shared().oExcelApp) app->SetScreenUpdating(on);
}

void RebuildTabs(std::string_view select) {
  if (const auto& form = Shared().oTabForm) form->UpdateMenu(select);
}

void SaveAll() {
  auto& shared = Shared();
  std::string sCur = ActiveWorkbookName().value_or("");
  const ScopedFlag batch(shared.bBatchClose);
  for (const auto& name : WorkbookNames()) {
    if (!IsWorkbookVisible(name)) continue;
    auto workbook = WorkbookNamed(name);
    if (!workbook) continue;
    workbook->Activate();
    RunBuiltInCommand(host::kControlSave);
    // A first save gives the workbook a name of its own, and the selection follows it.
    if (name == sCur) {
      if (auto now = workbook->Name()) sCur = std::move(*now);
    }
  }
  // Still inside the batch: the selection this makes may activate the first workbook again,
  // and that activation must not rebuild the row a second time.
  RebuildTabs(sCur);
}

void CloseOther() {
  auto& shared = Shared();
  {
    const ScopedFlag batch(shared.bBatchClose);
    const auto sActive = ActiveWorkbookName();
    SetScreenUpdating(false);
    // Without the name of the workbook to keep, any close could be the wrong one.
    for (const auto& name : sActive ? WorkbookNames() : std::vector<std::string>{}) {
      if (!IsWorkbookVisible(name) || name == sActive) continue;
      auto workbook = WorkbookNamed(name);
      for (int attempt = 0; workbook && attempt < kMaxActivations; ++attempt) {
        workbook->Activate();
        if (ActiveWorkbookName() == name) break;
      }
      break;
    }
    for (const auto& name : sActive ? WorkbookNames() : std::vector<std::string>{}) {
      if (!IsWorkbookVisible(name) || name == sActive) continue;
      auto workbook = WorkbookNamed(name);
      if (!workbook) continue;
      workbook->Activate();
      // Close acts on whatever is active: when the activation did not take, it would close the
      // workbook the user asked to keep.
      if (ActiveWorkbookName() == name) RunBuiltInCommand(host::kControlClose);
    }
  }
  RebuildTabs({});
  SetScreenUpdating(true);
}

void CloseAll() {
  auto& shared = Shared();
  {
    const ScopedFlag batch(shared.bBatchClose);
    SetScreenUpdating(false);
    for (const auto& name : WorkbookNames()) {
      if (!IsWorkbookVisible(name)) continue;
      if (auto workbook = WorkbookNamed(name)) workbook->Activate();
      RunBuiltInCommand(host::kControlClose);
    }
  }
  RebuildTabs({});
  SetScreenUpdating(true);
}

void OpenDir() {
  auto& app = Shared().oExcelApp;
  auto active = app ? app->ActiveWorkbook() : nullptr;
  const auto name = active ? active->Name() : std::nullopt;
  const auto full_name = active ? active->FullName() : std::nullopt;
  // A workbook never saved has no folder; its full name is its bare name.
  if (!name || !full_name || *full_name == *name) return;
  auto* processes = host::CurrentPlatform().processes;
  // Quoted, so that a comma or a blank in the path is not taken for a switch of Explorer's.
  if (processes) processes->StartProcess(std::string(kOpenDirCommand) + '"' + *full_name + '"');
}

void StoreTabShowChoice(bool show) {
  const std::int32_t tab_show = show ? 0 : 1;
  SetRegValue(host::kHkeyCurrentUser, kVestranoKey, kTabShowValue, host::kRegDword, tab_show);
  Shared().bTabShow = tab_show;
}

bool ShowOrHideBar(bool show) {
  auto& shared = Shared();
  if (show) {
    SubclassDesk();
    return true;
  }
  if (!shared.oTabForm) return false;
  // The strip goes before the bar: hiding the bar uncovers the workbook area's frame, which
  // Windows may paint at once, and while subclassed that paint would place and show the bar again.
  UnsubclassDesk();
  return shared.oTabForm->Hide();
}

}  // namespace

void RunWorkbookCommand(std::string_view parameter) {
  if (parameter == "Close") {
    RunBuiltInCommand(host::kControlClose);
  } else if (parameter == "Save") {
    RunBuiltInCommand(host::kControlSave);
  } else if (parameter == "SaveAll") {
    SaveAll();
  } else if (parameter == "SaveAs") {
    RunBuiltInCommand(host::kControlSaveAs);
  } else if (parameter == "CloseOther") {
    CloseOther();
  } else if (parameter == "CloseAll") {
    CloseAll();
  } else if (parameter == "OpenDir") {
    OpenDir();
  } else if (parameter == "Option") {
    ShowOptionDialog();
  } else if (parameter == "New") {
    RunBuiltInCommand(host::kControlNew);
  }
}

void oBtnExcel_Click(const host::CommandBarControlPtr& Ctrl) {
  auto parameter = Ctrl ? Ctrl->Parameter() : std::nullopt;
  if (parameter) RunWorkbookCommand(*parameter);
}

bool ApplyTabShowChoice(bool show) {
  StoreTabShowChoice(show);
  return ShowOrHideBar(show);
}

void oBtnOptionTab_Click(const host::CommandBarControlPtr& Ctrl) {
  const auto state = Ctrl ? Ctrl->State() : std::nullopt;
  if (!state) return;
  if (*state == host::kButtonDown) {
    if (Ctrl->SetState(host::kButtonUp)) ApplyTabShowChoice(false);
    return;
  }
  // Showing stores the choice before the check shows it; a check that cannot be set takes the
  // choice back, so that the button, the bar and the next start still agree.
  StoreTabShowChoice(true);
  if (!Ctrl->SetState(host::kButtonDown)) {
    StoreTabShowChoice(false);
    return;
  }
  ShowOrHideBar(true);
}

}  // namespace vestrano
