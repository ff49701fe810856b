// The type library ExcelOrlendix as registration leaves it: found through its LIBID, with its
// name, help string, path, class and dispatch interface, and nothing of Automation's own; and
// registration going ahead without it.
#pragma once

#include <string>

#include "tests/wine/checks.h"

namespace wine_test {

void CheckTypeLibRegistered(Checks& checks, const std::wstring& dll_path);
void CheckTypeLibUnregistered(Checks& checks);

// The type library is optional to Excel: a copy of the DLL without one still registers (the class
// and Excel's add-in record, with the failure reported), and unregisters without leaving anything.
// Run it with nothing registered; it leaves nothing registered.
void CheckRegistrationWithoutTypeLib(Checks& checks, const std::wstring& dll_path);

}  // namespace wine_test
