// A picture of Excel as it is on the screen: its main window, frame included, with xlsim's and
// the add-in's windows that stand over it (an open popup, a dialog), read back through each
// window's own device context and written as a 24-bit BMP file.
#pragma once

#include "host/win32/windows_api.h"

#include <string>

namespace vestrano::xlsim::win32 {

bool SaveScreenshot(HWND main, const std::string& path);

}  // namespace vestrano::xlsim::win32
