// The Click event of an Office command-bar button, through the button's connection point for the
// _CommandBarButtonEvents dispinterface.
#pragma once

#include <memory>

#include "host/command_bars.h"
#include "host/win32/windows_api.h"

namespace vestrano::win32 {

// _CommandBarButtonEvents, the IID of the button's connection point.
inline constexpr GUID kDiidCommandBarButtonEvents = {
    0x000C0351, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// Its Click(Ctrl, CancelDefault).
inline constexpr DISPID kDispidButtonClick = 1;

// Advises a sink on `button` that forwards its clicks to `sink`; null when Office refused.
// Destroying the connection unadvises, and the sink forwards nothing more even if Office still
// holds it.
std::unique_ptr<host::IEventConnection> ConnectButtonClick(IDispatch* button,
                                                           host::IButtonClickSink& sink);

}  // namespace vestrano::win32
