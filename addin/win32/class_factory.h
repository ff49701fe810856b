// The class object of `Vestranov3` that DllGetClassObject hands to COM.
#pragma once

#include "host/win32/windows_api.h"

namespace vestrano::win32 {

// A new class factory answered as `iid`.
HRESULT CreateVestranov3Factory(REFIID iid, void** out) noexcept;

}  // namespace vestrano::win32
