// The workbook menus in the test's Excel: the popups the add-in builds at connection, a click on
// their buttons reaching its handler once, and the popups deleted at disconnection.
#pragma once

#include "tests/wine/checks.h"
#include "tests/wine/fake_excel.h"
#include "tests/wine/office_api.h"

namespace wine_test {

void CheckWorkbookMenus(Checks& checks, IDTExtensibility2* addin, FakeApplication* excel);

}  // namespace wine_test
