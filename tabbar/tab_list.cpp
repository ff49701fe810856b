// The tab row's rebuild: every tab is thrown away and built again from Excel's workbooks, then
// one tab is selected.
#include <optional>
#include <string>
#include <vector>

#include "core/modified_mark.h"
#include "core/shared_state.h"
#include "core/workbook_queries.h"
#include "tabbar/tab_bar_form.h"
#include "tabbar/tab_icons.h"

namespace vestrano {
namespace {

// What one tab shows, read in a single pass over the workbooks.
struct TabRow {
  std::optional<std::string> name;
  std::optional<std::string> full_name;
  std::optional<bool> saved;
};

// Testing each workbook's own windows gives the tabs that a look-up by name would, without
// asking Excel to search its collection once per workbook.
std::vector<TabRow> ReadVisibleWorkbooks() {
  std::vector<TabRow> rows;
  auto& app = Shared().oExcelApp;
  auto workbooks = app ? app->Workbooks() : nullptr;
  auto all = workbooks ? workbooks->Enumerate() : std::nullopt;
  if (!all) return rows;
  for (const auto& workbook : *all) {
    if (!workbook || !WorkbookHasVisibleWindow(*workbook)) continue;
    rows.push_back({workbook->Name(), workbook->FullName(), workbook->Saved()});
  }
  return rows;
}

void FillTab(host::ITabItem& item, const TabRow& row) {
  if (row.name && row.saved) {
    item.SetCaption(*row.saved ? *row.name : *row.name + std::string(kModifiedMark));
  }
  if (row.full_name) item.SetToolTip(*row.full_name);
  if (row.name) item.SetImage(GetTabImageIndex(*row.name, row.full_name));
}

}  // namespace

void Form_Vestrano::UpdateMenu(std::string_view St) {
  // Like any use of the form's controls, a rebuild loads the form when it is not loaded yet.
  Load();
  if (!TabSeclect_) return;
  auto& tabs = *TabSeclect_;
  tabs.RemoveAll();
  if (auto paint = tabs.PaintManager()) paint->SetShowIcons(true);
  tabs.SetImageList(ImageList1_);

  const auto rows = ReadVisibleWorkbooks();
  tabs.SetItemCount(static_cast<int>(rows.size()));
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (auto item = tabs.Item(static_cast<int>(i))) FillTab(*item, rows[i]);
  }

  // Every tab is compared, so with two equal names the last one stays selected. The active
  // workbook is asked anew for each tab: a selection may switch workbooks while this runs.
  const int count = tabs.ItemCount().value_or(0);
  for (int k = 0; k < count; ++k) {
    auto item = tabs.Item(k);
    auto caption = item ? item->Caption() : std::nullopt;
    if (!caption) continue;
    std::optional<std::string> wanted;
    if (!St.empty()) {
      wanted = std::string(St);
    } else if (auto& app = Shared().oExcelApp) {
      auto active = app->ActiveWorkbook();
      wanted = active ? active->Name() : std::nullopt;
    }
    if (wanted && *wanted == StripModifiedMark(*caption)) item->SetSelected(true);
  }
}

}  // namespace vestrano
