// Which workbooks have a tab: those with at least one visible window. The event handlers, the
// strip, the watches and the commands ask this of Excel through the connected Application.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "host/excel.h"

namespace vestrano {

// Number of open workbooks that have at least one visible window.
std::int32_t CountVisibleWorkbooks();
// The same count, but it stops at `limit`: callers that only compare it with 1 or 2 (a paint,
// an event) need not ask Excel about every workbook's windows.
std::int32_t CountVisibleWorkbooks(std::int32_t limit);
// True when the workbook has at least one visible window.
bool WorkbookHasVisibleWindow(host::IWorkbook& workbook);
// True when the workbook of that name is open and has a visible window.
bool IsWorkbookVisible(std::string_view name);
// The active workbook's name; empty optional when none is active or Excel cannot say.
std::optional<std::string> ActiveWorkbookName();

}  // namespace vestrano
