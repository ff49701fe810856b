// Opening the dialogs as the ribbon's buttons and the menus' "Option" command do: a new dialog,
// handed the connected Excel and Excel's main window as its owner, shown modally.
#pragma once

namespace vestrano {

// False when a step failed: no connected Excel, its window unreadable, or no dialog could be
// shown.
bool ShowOptionDialog();
bool ShowAboutDialog();

}  // namespace vestrano
