// Excel's application events through its connection point for the AppEvents dispinterface.
#pragma once

#include <memory>

#include "host/excel.h"
#include "host/win32/windows_api.h"

namespace vestrano::win32 {

// Excel's AppEvents dispinterface, the IID of its connection point.
inline constexpr GUID kDiidAppEvents = {
    0x00024413, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Advises a sink that forwards the events to `events`; null when Excel refused. Destroying the
// connection unadvises, and the sink forwards nothing more even if Excel still holds it.
std::unique_ptr<host::IEventConnection> ConnectAppEvents(IDispatch* application,
                                                         host::IAppEvents& events);

}  // namespace vestrano::win32
