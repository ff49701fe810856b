// Connection, disconnection and Excel's application events. Every step runs whatever the
// previous one did: a host property that cannot be read is skipped, and the add-in comes up, or
// goes down, as far as Excel lets it. No exception leaves a handler: Excel calls them.
#include "addin/vestranov3.h"

#include "addin/module_regvalue.h"
#include "addin/settings_keys.h"
#include "base/guarded.h"
#include "host/registry.h"
#include "tabbar/form_vestrano.h"
#include "tabbar/module_pub.h"
#include "winhook/module_getclass.h"
#include "winhook/module_subclass.h"
#include "winhook/watch_timers.h"

namespace vestrano {
namespace {

host::TabItemPtr SelectedTab() {
  const auto& form = Shared().oTabForm;
  const auto& tabs = form ? form->TabSeclect() : nullptr;
  return tabs ? tabs->Selected() : nullptr;
}

}  // namespace

Vestranov3::~Vestranov3() {
  if (connected_) AddinInstance_OnDisconnection();
}

void Vestranov3::AddinInstance_OnConnection(const host::ApplicationPtr& application,
                                            int connect_mode) {
  Guarded([&] {
    if (connect_mode == kConnectExternal) return;
    connected_ = true;
    auto& shared = Shared();
    shared.oExcelApp = application;
    oAppExcel = application ? application->ConnectEvents(*this) : nullptr;
    shared.oTabForm = std::make_shared<Form_Vestrano>();
    // The form must know its owner before anything loads it.
    if (auto hwnd = application ? application->Hwnd() : std::nullopt) {
      shared.oTabForm->SetExcelHwnd(*hwnd);
    }
    if (auto hwnd = application ? application->Hwnd() : std::nullopt) shared.hExcelWnd = *hwnd;
    shared.bRestoreFocus = true;
    shared.bFirstOpen = true;
    ReadSettings();
    if (shared.bTabShow != 0) {
      shared.oTabForm->Hide();
    } else {
      SubclassDesk();
    }
    InstallCbtHook();
    shared.nTimerId = 0;
  });
}

void Vestranov3::AddinInstance_OnDisconnection() {
  Guarded([&] {
    connected_ = false;
    auto& shared = Shared();
    if (shared.oTabForm) shared.oTabForm->Unload();
    shared.oTabForm.reset();
    UnsubclassDesk();
    RemoveCbtHook();
    // No watch may fire once the add-in's objects are gone.
    StopWatch();
    shared.oExcelApp.reset();
    oAppExcel.reset();
  });
}

void Vestranov3::ReadSettings() {
  auto& shared = Shared();
  GetRegValue(host::kHkeyCurrentUser, kOfficeCommonKey, kOfficeThemeValue, shared.nOfficeTheme);
  GetRegValue(host::kHkeyCurrentUser, kVestranoKey, kTabShowValue, shared.bTabShow);
  GetRegValue(host::kHkeyCurrentUser, kVestranoKey, kPositionValue, shared.nTabPosition);
  GetRegValue(host::kHkeyCurrentUser, kVestranoKey, kThemeValue, shared.nTabTheme);
}

void Vestranov3::UpdateModifiedMark(const host::SheetPtr& sheet) {
  auto& app = Shared().oExcelApp;
  // Excel running invisibly, under automation, shows no tabs worth marking.
  if (!app || !app->Visible().value_or(true)) return;
  auto item = SelectedTab();
  auto workbook = sheet ? sheet->Parent() : nullptr;
  if (!item || !workbook) return;
  const std::optional<bool> saved = workbook->Saved();
  const std::optional<std::string> caption = item->Caption();
  if (!saved.has_value() || !caption.has_value()) return;
  const bool marked = HasModifiedMark(caption.value());
  if (!saved.value() && !marked) {
    item->SetCaption(caption.value() + std::string(kModifiedMark));
  } else if (saved.value() && marked) {
    if (auto name = workbook->Name()) item->SetCaption(*name);
  }
}

void Vestranov3::RefreshTabs(const host::WorkbookPtr& workbook) {
  auto& shared = Shared();
  shared.bUpdatingTabs = true;
  auto name = workbook ? workbook->Name() : std::nullopt;
  if (name && shared.oTabForm) shared.oTabForm->UpdateMenu(*name);
  shared.bUpdatingTabs = false;
  // With fewer than two workbooks the strip may just have appeared, or need reserving again.
  if (CountVisibleWorkbooks(2) < 2) RequestDeskFrameChange();
}

void Vestranov3::SheetActivate(const host::SheetPtr& sheet) {
  Guarded([&] { oAppExcel_SheetActivate(sheet); });
}
void Vestranov3::SheetSelectionChange(const host::SheetPtr& sheet) {
  Guarded([&] { oAppExcel_SheetSelectionChange(sheet); });
}
void Vestranov3::NewWorkbook(const host::WorkbookPtr& workbook) {
  Guarded([&] { oAppExcel_NewWorkbook(workbook); });
}
void Vestranov3::WindowDeactivate(const host::WorkbookPtr&, const host::WindowPtr&) {
  Guarded([&] { oAppExcel_WindowDeactivate(); });
}
void Vestranov3::WorkbookActivate(const host::WorkbookPtr& workbook) {
  Guarded([&] { oAppExcel_WorkbookActivate(workbook); });
}
void Vestranov3::WorkbookBeforeClose(const host::WorkbookPtr&, bool&) {
  Guarded([&] { oAppExcel_WorkbookBeforeClose(); });
}
void Vestranov3::WorkbookBeforeSave(const host::WorkbookPtr&, bool save_as_ui, bool&) {
  Guarded([&] { oAppExcel_WorkbookBeforeSave(save_as_ui); });
}
void Vestranov3::WorkbookOpen(const host::WorkbookPtr& workbook) {
  Guarded([&] { oAppExcel_WorkbookOpen(workbook); });
}

void Vestranov3::oAppExcel_SheetActivate(const host::SheetPtr& Sh) {
  UpdateModifiedMark(Sh);
}

void Vestranov3::oAppExcel_SheetSelectionChange(const host::SheetPtr& Sh) {
  UpdateModifiedMark(Sh);
}

void Vestranov3::oAppExcel_NewWorkbook(const host::WorkbookPtr& Wb) {
  RefreshTabs(Wb);
}

void Vestranov3::oAppExcel_WindowDeactivate() {
  StartWatch(CloseWatchProc);
}

void Vestranov3::oAppExcel_WorkbookActivate(const host::WorkbookPtr& Wb) {
  // A command walking several workbooks refreshes once when it is done.
  if (!Shared().bBatchClose) RefreshTabs(Wb);
}

void Vestranov3::oAppExcel_WorkbookBeforeClose() {
  if (CountVisibleWorkbooks(1) < 1) StartWatch(CloseWatchProc);
}

void Vestranov3::oAppExcel_WorkbookBeforeSave(bool SaveAsUI) {
  if (SaveAsUI) {
    // The name may change: rebuild the whole row once the dialog has closed.
    StartWatch(SaveAsWatchProc);
    return;
  }
  auto item = SelectedTab();
  if (auto caption = item ? item->Caption() : std::nullopt) {
    item->SetCaption(StripModifiedMark(*caption));
  }
}

void Vestranov3::oAppExcel_WorkbookOpen(const host::WorkbookPtr& Wb) {
  auto& shared = Shared();
  if (shared.bFirstOpen) {
    // Usually the file Excel was started with: refresh once Excel has settled.
    shared.bFirstOpen = false;
    StartWatch(SaveAsWatchProc);
    return;
  }
  RefreshTabs(Wb);
}

}  // namespace vestrano
