// Switching to a tab's workbook while a cell is being edited, when Excel's object model cannot:
// through the workbook's entry in Excel's Window menu, or, when the menu lists no entry for it,
// through the window-list dialog, whose choice the focus hook makes.
#pragma once

#include <string>
#include <string_view>

#include "host/tab_control.h"

namespace vestrano {

// The editing window classes: a cell being edited, the formula bar, an edit box.
bool IsEditingClass(std::string_view window_class);

// Executes the Window-menu entry of workbook `name` (the workbook of `item` in `tabs`), or opens
// the window-list dialog with sPendingWindow set; sets bMenuActivating when it did either.
void SwitchThroughWindowMenu(host::ITabControl& tabs, host::ITabItem& item,
                             const std::string& name);

}  // namespace vestrano
