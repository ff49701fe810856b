// Keeps this DLL loaded for the rest of the process once code of it must stay reachable by
// others: a window procedure of ours left in another program's subclass chain, or a window class
// of ours that could not be unregistered.
#pragma once

namespace vestrano::win32 {

// Pins the module that holds this code; later calls do nothing. False when Windows refused.
bool PinThisModule() noexcept;

}  // namespace vestrano::win32
