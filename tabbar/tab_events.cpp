// The tab strip's events: a selected tab activates its workbook.
#include <string>

#include "core/modified_mark.h"
#include "core/shared_state.h"
#include "tabbar/tab_bar_form.h"

namespace vestrano {

void Form_Vestrano::BeforeItemClick(const host::TabItemPtr&, bool&) {
  // Switching while a cell is being edited arrives with the Window-menu route.
}

void Form_Vestrano::SelectedChanged(const host::TabItemPtr& item) {
  auto& shared = Shared();
  if (shared.bUpdatingTabs || shared.bMenuActivating || !item || !shared.oExcelApp) return;
  auto caption = item->Caption();
  if (!caption) return;
  const std::string name = StripModifiedMark(*caption);
  auto workbooks = shared.oExcelApp->Workbooks();
  auto workbook = workbooks ? workbooks->Item(name) : nullptr;
  if (!workbook) return;
  // Excel normally makes the workbook active at the first attempt; a workbook that never becomes
  // active must not hold Excel's thread, so the attempts are bounded.
  constexpr int kMaxActivations = 5;
  for (int attempt = 0; attempt < kMaxActivations; ++attempt) {
    auto windows = workbook->Windows();
    if (auto first = windows ? windows->Item(1) : nullptr) first->Activate();
    auto active = shared.oExcelApp->ActiveWorkbook();
    auto active_name = active ? active->Name() : std::nullopt;
    auto now = item->Caption();
    if (active_name && now && *active_name == StripModifiedMark(*now)) return;
  }
}

void Form_Vestrano::MouseUp(int, int, float, float) {
  // Clicks, double-clicks and the popups arrive with the mouse handling.
}

}  // namespace vestrano
