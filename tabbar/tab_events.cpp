// The tab strip's events: a click selects a tab and activates its workbook, a double-click closes
// it (on the empty strip: makes a new workbook), a right-click opens the workbook menu, and after
// every release the keyboard focus goes back to Excel. While a cell is being edited, the click
// switches through Excel's Window menu instead (window_menu_switch.cpp).
#include <cmath>
#include <string>

#include "core/modified_mark.h"
#include "core/shared_state.h"
#include "core/workbook_queries.h"
#include "host/platform.h"
#include "menus/builtin_commands.h"
#include "menus/workbook_commands.h"
#include "menus/workbook_menus.h"
#include "tabbar/tab_bar_form.h"
#include "tabbar/window_menu_switch.h"
#include "winhook/watch_timers.h"

namespace vestrano {
namespace {

constexpr int kLeftButton = 1;
constexpr int kRightButton = 2;
// What sLastClick holds after a click on the strip where there is no tab.
constexpr std::string_view kEmptyStripClick = " TabOther";
constexpr std::string_view kEditBoxClass = "EDTBX";

void FocusBackToExcel() {
  auto* windows = host::CurrentPlatform().windows;
  const auto& shared = Shared();
  if (!windows) return;
  windows->SetFocus(windows->IsWindowVisible(shared.hLastEditBox) ? shared.hLastEditBox
                                                                  : shared.hExcelWnd);
}

// Before "TabBar" opens: the commands on several workbooks need another visible workbook, and
// the folder needs a workbook that was saved.
void PrepareTabBarMenu(host::ICommandBar& bar) {
  auto controls = bar.Controls();
  if (!controls) return;
  const bool several = CountVisibleWorkbooks(2) != 1;
  for (int position : {kSaveAllItem, kCloseOtherItem, kCloseAllItem}) {
    if (auto item = controls->Item(position)) item->SetEnabled(several);
  }
  auto& app = Shared().oExcelApp;
  auto active = app ? app->ActiveWorkbook() : nullptr;
  const auto name = active ? active->Name() : std::nullopt;
  const auto full_name = active ? active->FullName() : std::nullopt;
  const bool never_saved = name && full_name && *name == *full_name;
  if (auto item = controls->Item(kOpenDirItem)) item->SetEnabled(!never_saved);
}

void ShowPopup(std::string_view name) {
  if (auto bar = CommandBarNamed(name)) bar->ShowPopup();
}

// Activates the first window of the tab's workbook; true once that workbook is the active one.
// Excel normally makes it active at the first attempt; a workbook that never becomes active must
// not hold Excel's thread, so the attempts are bounded.
bool ActivateTabWorkbook(host::ITabItem& item) {
  auto& app = Shared().oExcelApp;
  auto caption = item.Caption();
  auto workbooks = caption && app ? app->Workbooks() : nullptr;
  auto workbook = workbooks ? workbooks->Item(StripModifiedMark(*caption)) : nullptr;
  if (!workbook) return false;
  for (int attempt = 0; attempt < kMaxActivations; ++attempt) {
    auto windows = workbook->Windows();
    if (auto first = windows ? windows->Item(1) : nullptr) first->Activate();
    auto active_name = ActiveWorkbookName();
    auto now = item.Caption();
    if (active_name && now && *active_name == StripModifiedMark(*now)) return true;
  }
  return false;
}

}  // namespace

void Form_Vestrano::BeforeItemClick(const host::TabItemPtr& item, bool&) {
  auto& shared = Shared();
  auto caption = item ? item->Caption() : std::nullopt;
  if (!caption) return;
  const std::string name = StripModifiedMark(*caption);
  // A second click on the tab whose switch is pending: wait again from the next release on.
  if (name == sLastTabName && shared.bMenuActivating && shared.sFocusClass != kEditBoxClass) {
    StopWatch();
    return;
  }
  sLastTabName = name;
  shared.bMenuActivating = false;
  // Outside the editing windows the selection change switches through the object model.
  if (!IsEditingClass(shared.sFocusClass) || !TabSeclect_) return;
  SwitchThroughWindowMenu(*TabSeclect_, *item, name);
}

void Form_Vestrano::SelectedChanged(const host::TabItemPtr& item) {
  auto& shared = Shared();
  if (shared.bUpdatingTabs || shared.bMenuActivating || !item || !shared.oExcelApp) return;
  if (ActivateTabWorkbook(*item)) return;
  // Excel refused the switch (a cell being edited, a prompt up) or the workbook has gone: the row
  // goes back to the workbook that is active. A highlighted tab naming another workbook would
  // send the menu's commands to the wrong one, and a later click on it would change no selection
  // and so switch nothing.
  const ScopedFlag updating(shared.bUpdatingTabs);
  UpdateMenu({});
}

void Form_Vestrano::ActivateIfStale(host::ITabItem& item) {
  auto& shared = Shared();
  if (shared.bMenuActivating || IsEditingClass(shared.sFocusClass) || !TabSeclect_) return;
  // A click on the tab that is selected already raises no SelectedChanged. The row can be stale
  // (Excel switched workbooks with its events off, as a macro may), and the click must still
  // bring the tab's workbook to the front.
  const auto selected = TabSeclect_->Selected();
  const auto index = selected ? selected->Index() : std::nullopt;
  const auto caption = index && index == item.Index() ? item.Caption() : std::nullopt;
  if (caption && ActiveWorkbookName() != StripModifiedMark(*caption)) {
    SelectedChanged(TabSeclect_->Item(*index));
  }
}

void Form_Vestrano::OpenTabMenu(host::ITabItem& item) {
  auto& shared = Shared();
  const auto caption = item.Caption();
  if (!caption) return;
  const std::string name = StripModifiedMark(*caption);
  if (IsEditingClass(shared.sFocusClass) && ActiveWorkbookName() != name) {
    // Excel will not switch through its object model while a cell is edited; its Window menu
    // switches, as a left click on the tab would.
    sLastTabName = name;
    shared.bMenuActivating = false;
    if (TabSeclect_) SwitchThroughWindowMenu(*TabSeclect_, item, name);
    if (shared.bMenuActivating) StartWatch(EditWatchProc);
  } else {
    // Selecting the tab makes its workbook the one the menu's commands act on.
    item.SetSelected(true);
  }
  // The commands act on the active workbook: the menu opens only once that is the right-clicked
  // one, so that "Close" can never close a workbook the user did not click.
  if (ActiveWorkbookName() != name) return;
  if (auto bar = CommandBarNamed(kTabBarPopup)) {
    PrepareTabBarMenu(*bar);
    bar->ShowPopup();
  }
}

void Form_Vestrano::MouseUp(int button, int, float x, float y) {
  auto& shared = Shared();
  const auto& platform = host::CurrentPlatform();
  if (shared.bMenuActivating && shared.nTimerId == 0) StartWatch(EditWatchProc);
  if (platform.clock) nDblClickTime = platform.clock->GetDoubleClickTime();
  const int px = static_cast<int>(std::lround(x));
  const int py = static_cast<int>(std::lround(y));

  if (button == kRightButton) {
    // A switch pending while a cell is edited: no menu, and the focus stays where it is.
    if (IsEditingClass(shared.sFocusClass) && shared.bMenuActivating) {
      nLastButton = kRightButton;
      return;
    }
    auto item = TabSeclect_ ? TabSeclect_->HitTest(px, py) : nullptr;
    if (item) {
      OpenTabMenu(*item);
    } else {
      ShowPopup(kEmptyStripPopup);
    }
  } else if (button == kLeftButton) {
    auto item = TabSeclect_ ? TabSeclect_->HitTest(px, py) : nullptr;
    const auto caption = item ? item->Caption() : std::nullopt;
    const std::string clicked = item ? caption.value_or("") : std::string(kEmptyStripClick);
    const std::uint32_t now = platform.clock ? platform.clock->GetTickCount() : 0;
    // Unsigned, so that the difference stays right when the tick count wraps.
    const bool double_click = !clicked.empty() && sLastClick == clicked &&
                              nLastButton == kLeftButton && now - nLastClickTick < nDblClickTime;
    if (double_click) {
      // Close acts on the active workbook: when the first click could not make the tab's
      // workbook active, closing would close another one.
      if (!item) {
        RunBuiltInCommand(host::kControlNew);
      } else if (ActiveWorkbookName() == StripModifiedMark(clicked)) {
        RunBuiltInCommand(host::kControlClose);
      }
      nLastClickTick = 0;
      sLastClick.clear();
    } else {
      nLastClickTick = now;
      sLastClick = clicked;
      if (item) ActivateIfStale(*item);
    }
  }
  nLastButton = button;
  FocusBackToExcel();
}

}  // namespace vestrano
