// The workbook commands behind the popups' buttons, told apart by the clicked button's Parameter,
// and the Tools-menu button that shows or hides the tab bar before Excel 2007. Each command works
// through Excel's own built-in commands, so that Excel shows its usual prompts and dialogs; the
// commands on several workbooks activate each in turn and run the command on it.
#pragma once

#include <string_view>

#include "host/command_bars.h"

namespace vestrano {

// How many times a workbook is activated before the add-in gives up on it: Excel normally
// activates at the first attempt, and one that never becomes active must not hold Excel's thread.
inline constexpr int kMaxActivations = 5;

// The prefix of the command line that opens a workbook's folder with the file selected.
inline constexpr std::string_view kOpenDirCommand = "explorer /select ,";

// The click handler of all twelve popup buttons: runs the command named by the clicked button's
// Parameter.
void oBtnExcel_Click(const host::CommandBarControlPtr& Ctrl);
// Runs the command `parameter` names: "Close", "Save", "SaveAll", "SaveAs", "CloseOther",
// "CloseAll", "OpenDir", "Option" or "New", compared exactly; any other word does nothing.
void RunWorkbookCommand(std::string_view parameter);

// The user's choice from the ribbon's check box or the Tools-menu button: "TabShow" keeps it,
// then the strip is attached or taken away. False when the bar could not be hidden.
bool ApplyTabShowChoice(bool show);

// The Tools-menu button's click: a button up shows the bar and goes down, a button down hides
// the bar and goes up; "TabShow" keeps the choice. Stops at the first step that fails.
void oBtnOptionTab_Click(const host::CommandBarControlPtr& Ctrl);

}  // namespace vestrano
