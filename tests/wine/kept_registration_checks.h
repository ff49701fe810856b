// Unregistration keeps what it did not write: a class that a later registration of another copy of
// the DLL took over, and with it the ProgID and Excel's add-in record that copy still needs.
#pragma once

#include <string>

#include "tests/wine/checks.h"

namespace wine_test {

// Run it with nothing registered; it leaves nothing registered.
void CheckUnregistrationKeepsLaterCopy(Checks& checks, const std::wstring& dll_path);

}  // namespace wine_test
