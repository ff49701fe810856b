// Excel's application events: they keep the tab row, its unsaved marks and the selected tab in
// step with Excel, and start the watches that finish what Excel completes only later. No
// exception leaves a handler: Excel calls them.
#include <string>

#include "addin/addin.h"
#include "core/modified_mark.h"
#include "core/shared_state.h"
#include "core/workbook_queries.h"
#include "host/guarded.h"
#include "winhook/desk_strip.h"
#include "winhook/watch_timers.h"

namespace vestrano {
namespace {

struct MarkedTab {
  host::TabItemPtr item;
  std::string caption;
};

// The selected tab, when it is the tab of `workbook` (compared as the row's rebuild compares).
// The mark handlers act on the selected tab only, and an event about another workbook, saved or
// changed while it was not the selected one, must not give that tab its name or its mark.
std::optional<MarkedTab> SelectedTabOf(const host::WorkbookPtr& workbook) {
  const auto& form = Shared().oTabForm;
  const auto& tabs = form ? form->TabSeclect() : nullptr;
  auto item = tabs ? tabs->Selected() : nullptr;
  auto caption = item ? item->Caption() : std::nullopt;
  auto name = caption && workbook ? workbook->Name() : std::nullopt;
  if (!name || StripModifiedMark(*caption) != *name) return std::nullopt;
  return MarkedTab{std::move(item), std::move(*caption)};
}

}  // namespace

void Vestranov3::UpdateModifiedMark(const host::SheetPtr& sheet) {
  auto& app = Shared().oExcelApp;
  // Excel running invisibly, under automation, shows no tabs worth marking.
  if (!app || !app->Visible().value_or(true)) return;
  auto workbook = sheet ? sheet->Parent() : nullptr;
  const auto tab = SelectedTabOf(workbook);
  const auto saved = tab ? workbook->Saved() : std::nullopt;
  if (!saved) return;
  const bool marked = HasModifiedMark(tab->caption);
  if (!*saved && !marked) {
    tab->item->SetCaption(tab->caption + std::string(kModifiedMark));
  } else if (*saved && marked) {
    tab->item->SetCaption(StripModifiedMark(tab->caption));
  }
}

void Vestranov3::RefreshTabs(const host::WorkbookPtr& workbook) {
  auto& shared = Shared();
  {
    const ScopedFlag updating(shared.bUpdatingTabs);
    auto name = workbook ? workbook->Name() : std::nullopt;
    if (name && shared.oTabForm) shared.oTabForm->UpdateMenu(*name);
  }
  // With fewer than two workbooks the strip may just have appeared, or need reserving again.
  if (CountVisibleWorkbooks(2) < 2) RequestDeskFrameChange();
}

void Vestranov3::SheetActivate(const host::SheetPtr& sheet) {
  Guarded("SheetActivate", [&] { oAppExcel_SheetActivate(sheet); });
}
void Vestranov3::SheetSelectionChange(const host::SheetPtr& sheet) {
  Guarded("SheetSelectionChange", [&] { oAppExcel_SheetSelectionChange(sheet); });
}
void Vestranov3::NewWorkbook(const host::WorkbookPtr& workbook) {
  Guarded("NewWorkbook", [&] { oAppExcel_NewWorkbook(workbook); });
}
void Vestranov3::WindowDeactivate(const host::WorkbookPtr&, const host::WindowPtr&) {
  Guarded("WindowDeactivate", [&] { oAppExcel_WindowDeactivate(); });
}
void Vestranov3::WorkbookActivate(const host::WorkbookPtr& workbook) {
  Guarded("WorkbookActivate", [&] { oAppExcel_WorkbookActivate(workbook); });
}
void Vestranov3::WorkbookBeforeClose(const host::WorkbookPtr&, bool&) {
  Guarded("WorkbookBeforeClose", [&] { oAppExcel_WorkbookBeforeClose(); });
}
void Vestranov3::WorkbookBeforeSave(const host::WorkbookPtr& workbook, bool save_as_ui, bool&) {
  Guarded("WorkbookBeforeSave", [&] { oAppExcel_WorkbookBeforeSave(workbook, save_as_ui); });
}
void Vestranov3::WorkbookOpen(const host::WorkbookPtr& workbook) {
  Guarded("WorkbookOpen", [&] { oAppExcel_WorkbookOpen(workbook); });
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

void Vestranov3::oAppExcel_WorkbookBeforeSave(const host::WorkbookPtr& Wb, bool SaveAsUI) {
  if (SaveAsUI) {
    // The name may change: rebuild the whole row once the dialog has closed.
    StartWatch(SaveAsWatchProc);
    return;
  }
  if (const auto tab = SelectedTabOf(Wb)) tab->item->SetCaption(StripModifiedMark(tab->caption));
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
