// Visible-workbook queries. A host call that fails counts as "not visible": a workbook whose
// windows cannot be read gets no tab rather than a tab that cannot be filled.
#include "core/workbook_queries.h"

#include <limits>

#include "core/shared_state.h"

namespace vestrano {

bool WorkbookHasVisibleWindow(host::IWorkbook& workbook) {
  auto windows = workbook.Windows();
  auto all = windows ? windows->Enumerate() : std::nullopt;
  if (!all) return false;
  for (const auto& window : *all) {
    if (window && window->Visible().value_or(false)) return true;
  }
  return false;
}

std::int32_t CountVisibleWorkbooks() {
  return CountVisibleWorkbooks(std::numeric_limits<std::int32_t>::max());
}

std::int32_t CountVisibleWorkbooks(std::int32_t limit) {
  auto& app = Shared().oExcelApp;
  auto workbooks = app ? app->Workbooks() : nullptr;
  auto all = workbooks ? workbooks->Enumerate() : std::nullopt;
  if (!all) return 0;
  std::int32_t count = 0;
  for (const auto& workbook : *all) {
    if (count >= limit) break;
    if (workbook && WorkbookHasVisibleWindow(*workbook)) ++count;
  }
  return count;
}

bool IsWorkbookVisible(std::string_view name) {
  auto& app = Shared().oExcelApp;
  auto workbooks = app ? app->Workbooks() : nullptr;
  auto workbook = workbooks ? workbooks->Item(name) : nullptr;
  return workbook && WorkbookHasVisibleWindow(*workbook);
}

std::optional<std::string> ActiveWorkbookName() {
  auto& app = Shared().oExcelApp;
  auto active = app ? app->ActiveWorkbook() : nullptr;
  return active ? active->Name() : std::nullopt;
}

}  // namespace vestrano
