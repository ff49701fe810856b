// The strip's COM object: ITabStrip over the model and the window, item objects that name an
// item by its id (so that an item removed from the row fails instead of naming another), and the
// three events passed on to the host's sink.
#pragma once

#include "host/win32/windows_api.h"

namespace vestrano::tabctl {

// A new strip object, answered as `iid`. `module` owns the strip's window class.
HRESULT CreateTabStrip(HINSTANCE module, REFIID iid, void** out) noexcept;

}  // namespace vestrano::tabctl
