// Mouse input and message pumping.
#include "xlsim/win32/user_input.h"

#include <vector>

namespace vestrano::xlsim::win32 {
namespace {

// Windows maps absolute input over 0..65535 onto the screen's pixels; the smallest value that
// maps onto `pixel` lands exactly there.
LONG Normalized(LONG pixel, int extent) {
  return static_cast<LONG>((static_cast<long long>(pixel) * 65536 + extent - 1) / extent);
}

INPUT MouseInput(DWORD flags, LONG dx = 0, LONG dy = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = dx;
  input.mi.dy = dy;
  input.mi.dwFlags = flags;
  return input;
}

bool TakeMouseMessage(MSG& message) {
  return PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE) ||
         PeekMessageW(&message, nullptr, WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK, PM_REMOVE) ||
         PeekMessageW(&message, nullptr, WM_MOUSEHOVER, WM_MOUSELEAVE, PM_REMOVE) ||
         PeekMessageW(&message, nullptr, WM_NCMOUSEHOVER, WM_NCMOUSELEAVE, PM_REMOVE);
}

// Handles the mouse's messages until none is left; waits a little for input still on its way.
void DeliverMouse() {
  MSG message;
  for (int idle = 0; idle < 3;) {
    if (TakeMouseMessage(message)) {
      idle = 0;
      TranslateMessage(&message);
      DispatchMessageW(&message);
      continue;
    }
    ++idle;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_MOUSE);
  }
}

BOOL CALLBACK PaintWindow(HWND hwnd, LPARAM) {
  if (IsWindowVisible(hwnd)) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  }
  return TRUE;
}

}  // namespace

bool MouseClick(POINT point, MouseButton button, int times) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  if (width <= 0 || height <= 0) return false;
  INPUT move = MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, Normalized(point.x, width),
                          Normalized(point.y, height));
  if (SendInput(1, &move, sizeof(INPUT)) != 1) return false;
  // The pointer arrives first: a tooltip under it hides, the window under it learns of it.
  DeliverMouse();
  POINT at{};
  GetCursorPos(&at);
  if (at.x != point.x || at.y != point.y) {
    SetCursorPos(point.x, point.y);
    DeliverMouse();
    GetCursorPos(&at);
    if (at.x != point.x || at.y != point.y) return false;
  }
  const DWORD down = button == MouseButton::kLeft ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_RIGHTDOWN;
  const DWORD up = button == MouseButton::kLeft ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_RIGHTUP;
  std::vector<INPUT> presses;
  for (int i = 0; i < times; ++i) {
    presses.push_back(MouseInput(down));
    presses.push_back(MouseInput(up));
  }
  const UINT sent = SendInput(static_cast<UINT>(presses.size()), presses.data(), sizeof(INPUT));
  DeliverMouse();
  return sent == presses.size();
}

void PaintNow() {
  EnumThreadWindows(GetCurrentThreadId(), PaintWindow, 0);
}

void PumpFor(DWORD milliseconds) {
  const ULONGLONG deadline = GetTickCount64() + milliseconds;
  MSG message;
  for (;;) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));
        return;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
  }
}

}  // namespace vestrano::xlsim::win32
