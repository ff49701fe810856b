// Reads the add-in's tab bar from outside, as a screen reader would: the bar is the window titled
// "Vestrano" of class "ThunderRT6FormDC" (a child of Excel's main window once loaded, top-level
// before), the row is the window inside it whose accessible object is a page tab list, and each
// page tab gives its caption (name), tooltip (description), selected state and rectangle. The
// icon, which accessibility has no place for, comes from the strip's published image message.
#pragma once

#include "host/win32/windows_api.h"

#include <optional>
#include <vector>

#include "scenario/observation_lines.h"

namespace vestrano::xlsim::win32 {

struct TabOnScreen {
  scenario::TabView view;
  RECT rect{};  // screen coordinates; empty when the tab is scrolled out of sight
};

// The add-in's tab bar window; null when it has none.
HWND FindTabBar(HWND excel_main);
// Whether a window and every window it sits in, up to Excel's main window, are shown: the bar
// counts as shown inside an Excel that automation keeps invisible.
bool ShownInExcel(HWND window, HWND excel_main);
// The page tab list inside the bar; null when there is none.
HWND FindTabRow(HWND bar);
// The row's tabs; empty when its accessible object cannot be had.
std::optional<std::vector<TabOnScreen>> ReadTabRow(HWND row);
// The bar's rectangle in the client coordinates of Excel's main window.
scenario::Box InMainClient(HWND window, HWND excel_main);

}  // namespace vestrano::xlsim::win32
