// Runs the start-up installation of the tab strip module once per process, on the thread that
// first creates an add-in object (Excel's), before that object exists; never from DllMain.
#pragma once

namespace vestrano::win32 {

void RunStartupOnce() noexcept;

}  // namespace vestrano::win32
