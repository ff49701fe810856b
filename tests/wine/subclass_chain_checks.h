// The add-in's subclass of XLDESK sharing the window with another add-in's, installed after ours
// as any utility would, with SetWindowLongPtr: neither may cut the other out of the chain, no
// message may loop or arrive twice, and the workbook area keeps working whoever leaves first.
#pragma once

#include "tests/wine/checks.h"
#include "tests/wine/excel_windows.h"
#include "tests/wine/fake_excel.h"

namespace wine_test {

// Connects and releases add-in objects of its own; leaves XLDESK with Excel's procedure.
void CheckForeignSubclass(Checks& checks, ExcelWindows& windows, FakeApplication* excel);
// A workbook area destroyed while our pass-through is still in its chain, behind the other
// subclass, keeps none of our window properties. Uses windows of its own.
void CheckPassThroughDestroyed(Checks& checks);

}  // namespace wine_test
