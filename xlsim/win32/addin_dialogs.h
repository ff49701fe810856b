// The user at a dialog that an add-in opened over Excel. Such a dialog runs its own modal loop
// inside the add-in's callback, so the user can only act from within that loop: a thread timer,
// which every modal loop dispatches, finds the dialog and hands it over. The controls are found by
// their captions, as a user reads them, and pressed with real mouse input.
#pragma once

#include "host/win32/windows_api.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vestrano::xlsim::win32 {

// The titles of the add-in's windows shown over Excel's main window `main`: visible top-level
// windows that `main` owns and that are not Excel's own.
std::vector<std::string> AddinDialogTitles(HWND main);
// The first of them; null when there is none.
HWND FindAddinDialog(HWND main);

// Runs `run` (a call into the add-in that may open a dialog). If a dialog of the add-in's comes up
// over `main` meanwhile, calls `act` with it once, from inside the dialog's modal loop. True when
// `act` ran. Watches nest: an `act` may run further watched calls.
bool WhileDialogMayOpen(HWND main, const std::function<void()>& run,
                        const std::function<void(HWND)>& act);

// Clicks the control captioned `caption` (compared without access-key marks and blanks); why
// not, when it is missing, disabled or hidden.
std::optional<std::string> ClickControl(HWND dialog, std::wstring_view caption);
// Whether the check box or option captioned `caption` is checked; empty when it is missing.
std::optional<bool> IsControlChecked(HWND dialog, std::wstring_view caption);
// Clicks the dialog's close box and waits for the dialog to go; why not, when it has none where
// Windows draws one or stays open.
std::optional<std::string> ClickCloseBox(HWND dialog);

}  // namespace vestrano::xlsim::win32
