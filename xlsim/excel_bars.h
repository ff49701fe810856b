// Excel's own command bars, as far as the add-in reaches them: the worksheet menu bar with the
// File menu (Close 106, Save As 748), the Tools menu (30007) and the Window menu (30009), which
// lists the visible windows and, past nine of them, opens the window-list dialog; and the
// Standard toolbar (New 2520, Save 3). Every built-in command runs on the active workbook.
#pragma once

#include <string_view>

#include "xlsim/command_bar_model.h"
#include "xlsim/excel_model.h"

namespace vestrano::xlsim {

inline constexpr int kControlSave = 3;
inline constexpr int kControlClose = 106;
inline constexpr int kControlSaveAs = 748;
inline constexpr int kControlNew = 2520;
inline constexpr std::string_view kMoreWindowsCaption = "其他窗口(&M)...";
inline constexpr std::size_t kWindowMenuEntries = 9;

// `excel` must outlive `bars`.
void AddExcelBars(CommandBarModel& bars, ExcelModel& excel);

}  // namespace vestrano::xlsim
