// What must be gone once the add-in has been disconnected and released, before COM is asked
// whether the DLL may go: its window class, its subclass of the workbook area, its window
// properties, its timers and its hooks.
#pragma once

#include "tests/wine/checks.h"
#include "tests/wine/excel_windows.h"
#include "tests/wine/fake_excel.h"
#include "tests/wine/office_api.h"

namespace wine_test {

// Connects, has Excel deactivate a window (which starts a watch timer) and disconnects at once,
// so that the watch is still pending at disconnection.
void DisconnectWithWatchPending(Checks& checks, IDTExtensibility2* addin, FakeApplication* excel);

// Every add-in object must be released, and the DLL still loaded. Calls nothing of the DLL.
void CheckNothingLeft(Checks& checks, const char* when, const ExcelWindows& windows);

}  // namespace wine_test
