// The ribbon's callbacks and the options and about dialogs of the real DLL under Wine: the markup
// through GetCustomUI and GetRibbonXML, the ribbon image, the check box; each dialog modal over
// the test's Excel window and owned by it, closed with OK, Enter, Esc and the close box, and
// fitting on the screen.
#pragma once

#include <functional>
#include <string>

#include "tests/wine/checks.h"
#include "tests/wine/excel_windows.h"
#include "tests/wine/fake_excel.h"
#include "tests/wine/office_api.h"

namespace wine_test {

void CheckRibbon(Checks& checks, IDTExtensibility2* addin, ExcelWindows& windows,
                 FakeApplication* excel);
void CheckDialogs(Checks& checks, IDTExtensibility2* addin, ExcelWindows& windows,
                  FakeApplication* excel);
// Only that the options dialog fits on the screen, at this process's resolution.
void CheckDialogFits(Checks& checks, IDTExtensibility2* addin, ExcelWindows& windows,
                     FakeApplication* excel);
// Opens the options (or about) dialog through the ribbon and calls `shoot` with its window while
// it is open; the dialog is closed with its close box afterwards.
void WhileDialogOpen(IDTExtensibility2* addin, HWND main, bool options,
                     const std::function<void(HWND)>& shoot);

}  // namespace wine_test
