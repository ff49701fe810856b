// Excel's built-in commands, found among its command bars by control Id and run on the active
// workbook, and the add-in's popups, found by name: what the tab strip's clicks and the workbook
// commands share.
#pragma once

#include <string_view>

#include "host/command_bars.h"

namespace vestrano {

// Runs built-in control `id` (Save, Close, Save As, New) with Excel's own prompts; false when the
// control could not be found or run.
bool RunBuiltInCommand(int id);
// The command bar of that name in the connected Excel; null when there is none.
host::CommandBarPtr CommandBarNamed(std::string_view name);

}  // namespace vestrano
