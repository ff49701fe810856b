// The user's mouse, as Windows sees it: real input injected with SendInput, so that Windows
// itself finds the window under the pointer, sends WM_MOUSEACTIVATE and WM_SETCURSOR, turns two
// quick presses into a double-click for a class that asks for one, and queues the button
// messages. Only the mouse's messages are pumped here: timers wait for `tick`, as time stands
// still between a scenario's commands.
#pragma once

#include "host/win32/windows_api.h"

namespace vestrano::xlsim::win32 {

enum class MouseButton { kLeft, kRight };

// Moves the pointer to `point` (screen coordinates), presses and releases `button` `times` times
// there and lets the windows handle it; false when the pointer could not be put there.
bool MouseClick(POINT point, MouseButton button, int times);

// Lets every window of the thread paint what is invalid, as Excel's message loop would before
// the user looks again, without running timers or any other message.
void PaintNow();

// Pumps every message of the thread for `milliseconds`, timers included.
void PumpFor(DWORD milliseconds);

}  // namespace vestrano::xlsim::win32
