// The ribbon's callbacks, the options and about dialogs and the start-up installation of the
// real DLL under Wine: the markup through GetCustomUI and GetRibbonXML, the ribbon image, the
// check box; each dialog modal over the test's Excel window and owned by it, closed with OK,
// Enter, Esc and the close box, and fitting on the screen; the module written and registered at
// the first creation of the add-in.
#pragma once

#include <functional>
#include <string>

#include "tests/wine/checks.h"
#include "tests/wine/excel_windows.h"
#include "tests/wine/fake_excel.h"
#include "tests/wine/office_api.h"

namespace wine_test {

// Must be the process's first creation of the add-in: it removes the installed module, creates
// the add-in, checks what the start-up wrote and registered, and takes both away again.
void CheckStartupInstall(Checks& checks, const std::wstring& dll_path);
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
