// Office's command bars over IDispatch: CommandBars, CommandBar, CommandBarControls and the
// controls, a button with its Click event (the _CommandBarButtonEvents connection point), a
// popup with its Controls. DISPIDs are those of Office's type library.
#pragma once

#include "host/win32/windows_api.h"

#include "xlsim/command_bar_model.h"
#include "xlsim/win32/automation.h"
#include "xlsim/win32/excel.h"

namespace vestrano::xlsim::win32 {

inline constexpr IID kDiidCommandBarButtonEvents = {
    0x000C0351, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr DISPID kDispidButtonClick = 1;

ComPtr<IDispatch> NewCommandBarsObject(const Link& link);
ComPtr<IDispatch> NewBarObject(const Link& link, const BarRef& bar);
ComPtr<IDispatch> NewControlObject(const Link& link, const ControlRef& control);

}  // namespace vestrano::xlsim::win32
