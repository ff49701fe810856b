// Office's command bars behind host/command_bars.h, through late-bound IDispatch: the
// CommandBars collection that Application.CommandBars gives, its bars, their controls, and the
// controls of Excel's built-in menus.
#pragma once

#include "host/command_bars.h"
#include "host/win32/com_ptr.h"
#include "host/win32/windows_api.h"

namespace vestrano::win32 {

// Each is null when the object is null.
host::CommandBarsPtr MakeWin32CommandBars(ComPtr<IDispatch> bars);
host::CommandBarControlPtr MakeWin32Control(ComPtr<IDispatch> control);

}  // namespace vestrano::win32
