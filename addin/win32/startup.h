// Runs the start-up installation of the tab strip module once per process, on the thread that
// first creates an add-in object (Excel's), before that object exists; never from DllMain.
#pragma once

#include <optional>
#include <string>

namespace vestrano::win32 {

void RunStartupOnce() noexcept;

// The module file that the start-up installation chose for the tab bar to load; empty when it
// found none, or has not run.
std::optional<std::wstring> TabStripModuleFile();

}  // namespace vestrano::win32
