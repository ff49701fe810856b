// Connecting the add-in to the test's Excel and disconnecting it again: the strip in the
// workbook area, the tab bar form over it, Excel's events, and what is left afterwards.
#pragma once

#include "tests/wine/checks.h"
#include "tests/wine/excel_windows.h"
#include "tests/wine/fake_excel.h"
#include "tests/wine/office_api.h"

namespace wine_test {

// Through the vtable, as Office is expected to call, with timings.
void CheckConnectionCycle(Checks& checks, IDTExtensibility2* addin, ExcelWindows& windows,
                          FakeApplication* excel);
// Through IDispatch::Invoke with DISPIDs 1 and 2, a second connection in the same process.
void CheckConnectionByInvoke(Checks& checks, IDTExtensibility2* addin, ExcelWindows& windows,
                             FakeApplication* excel);
// Excel refusing the application events: the add-in still connects its strip, and keeps nothing
// of the refused sink (DllCanUnloadNow at the end of the run sees a sink left behind).
void CheckRefusedEvents(Checks& checks, IDTExtensibility2* addin, ExcelWindows& windows,
                        FakeApplication* excel);
// Connect mode 2 (external) creates nothing.
void CheckExternalConnection(Checks& checks, IDTExtensibility2* addin, ExcelWindows& windows,
                             FakeApplication* excel);

}  // namespace wine_test
