// The type library ExcelOrlendix as registration leaves it: found through its LIBID, with its
// name, help string, path, class and dispatch interface, and nothing of Automation's own.
#pragma once

#include <string>

#include "tests/wine/checks.h"

namespace wine_test {

void CheckTypeLibRegistered(Checks& checks, const std::wstring& dll_path);
void CheckTypeLibUnregistered(Checks& checks);

}  // namespace wine_test
