// Our tab strip module under Wine: carried by Vestrano.dll, registered, created and unregistered
// on its own; its events, hit test and accessible tree on a window of the test's; and on the bar
// of a connected add-in, found as a file before it is registered, with its GDI and USER objects
// counted over a thousand rebuilds, the time of one rebuild of 100 tabs, and its right edge.
#pragma once

#include <string>

#include "tests/wine/checks.h"
#include "tests/wine/excel_windows.h"
#include "tests/wine/office_api.h"

namespace wine_test {

// The module built beside the DLL.
std::wstring ModuleBeside(const std::wstring& dll_path);

void CheckModuleCarried(Checks& checks, const std::wstring& dll_path);
void CheckModuleRegistration(Checks& checks, const std::wstring& module_path);
void CheckStripOnItsOwn(Checks& checks, const std::wstring& module_path);
// The add-in is created but not connected; the module is neither registered nor installed.
void CheckTabsOnTheBar(Checks& checks, IDTExtensibility2* addin, ExcelWindows& windows,
                       const std::wstring& module_path);
// Puts the module file into the system directory, unregistered.
bool InstallModuleFile(const std::wstring& module_path);
// Takes the module out of the system directory again.
void RemoveInstalledModule(Checks& checks);
// Only where the strip ends against the bar, at the resolution this process runs at.
void CheckRightEdge(Checks& checks, IDTExtensibility2* addin, ExcelWindows& windows,
                    const std::wstring& module_path);

}  // namespace wine_test
