// The strip's paint gives back every GDI object it takes: many non-client paints of XLDESK with
// a workbook visible leave the process's GDI objects as they were.
#pragma once

#include "tests/wine/checks.h"
#include "tests/wine/excel_windows.h"
#include "tests/wine/fake_excel.h"
#include "tests/wine/office_api.h"

namespace wine_test {

// Connects `addin`, paints the strip many times, and disconnects it again.
void CheckStripPaintGivesBackGdi(Checks& checks, IDTExtensibility2* addin, ExcelWindows& windows,
                                 FakeApplication* excel);

}  // namespace wine_test
