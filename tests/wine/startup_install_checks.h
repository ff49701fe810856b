// The start-up installation of the tab strip module in the real DLL under Wine, whose processes
// run elevated: the user's own copy is never taken, the other bitness's module where this DLL
// looks is replaced by the carried one, and regsvr32 runs in the system directory and is waited
// for.
#pragma once

#include <string>

#include "tests/wine/checks.h"

namespace wine_test {

// Must be the process's first creation of the add-in: it plants the modules, creates and
// connects the add-in, checks what the start-up wrote, registered and loaded, and takes it all
// away again.
void CheckStartupInstall(Checks& checks, const std::wstring& dll_path);

}  // namespace wine_test
