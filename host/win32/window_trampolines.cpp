// Window procedure trampolines. Nothing thrown by the logic may cross back into Windows: a
// message whose handler fails gets the default answer.
#include "host/win32/window_trampolines.h"

#include "host/diagnostics.h"
#include "host/win32/module_pin.h"

namespace vestrano::win32 {
namespace {

constexpr wchar_t kOwnProcProperty[] = L"Vestrano.OwnWindowProc";
// Present while the subclass is in use.
constexpr wchar_t kSubclassProcProperty[] = L"Vestrano.SubclassProc";
// The procedure the subclass replaced. Present for as long as the trampoline is in the window's
// chain, in use or passing through.
constexpr wchar_t kSubclassPreviousProperty[] = L"Vestrano.SubclassPrevious";

host::WindowProc PortableProc(HWND hwnd, const wchar_t* property) {
  return reinterpret_cast<host::WindowProc>(GetPropW(hwnd, property));
}

LRESULT CallPortable(host::WindowProc proc, HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  return proc(Hwnd{reinterpret_cast<std::uintptr_t>(hwnd)}, message, wparam, lparam);
}

LRESULT CALLBACK SubclassTrampoline(HWND hwnd, UINT message, WPARAM wparam,
                                    LPARAM lparam) noexcept {
  const host::WindowProc proc = PortableProc(hwnd, kSubclassProcProperty);
  LRESULT result = 0;
  bool handled = false;
  try {
    if (proc) {
      result = CallPortable(proc, hwnd, message, wparam, lparam);
      handled = true;
    }
  } catch (...) {
    host::ReportCaughtException("the subclassed window's procedure");
  }
  // Out of use (a pass-through), or the portable procedure failed.
  if (!handled) {
    const WNDPROC previous = SubclassPrevious(hwnd);
    result = previous ? CallWindowProcW(previous, hwnd, message, wparam, lparam)
                      : DefWindowProcW(hwnd, message, wparam, lparam);
  }
  // A window destroyed with the trampoline still in its chain takes its procedure with it.
  if (message == WM_NCDESTROY) {
    RemovePropW(hwnd, kSubclassProcProperty);
    RemovePropW(hwnd, kSubclassPreviousProperty);
  }
  return result;
}

WNDPROC CurrentProc(HWND hwnd) {
  return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
}

}  // namespace

LRESULT CALLBACK OwnWindowTrampoline(HWND hwnd, UINT message, WPARAM wparam,
                                     LPARAM lparam) noexcept {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    if (create && create->lpCreateParams) {
      SetPropW(hwnd, kOwnProcProperty, static_cast<HANDLE>(create->lpCreateParams));
    }
  }
  const host::WindowProc proc = PortableProc(hwnd, kOwnProcProperty);
  LRESULT result = 0;
  bool handled = false;
  try {
    if (proc) {
      result = CallPortable(proc, hwnd, message, wparam, lparam);
      handled = true;
    }
  } catch (...) {
    host::ReportCaughtException("the add-in's window procedure");
  }
  if (!handled) result = DefWindowProcW(hwnd, message, wparam, lparam);
  if (message == WM_NCDESTROY) RemovePropW(hwnd, kOwnProcProperty);
  return result;
}

host::WindowProc ActiveSubclass(HWND hwnd) {
  return PortableProc(hwnd, kSubclassProcProperty);
}

WNDPROC SubclassPrevious(HWND hwnd) {
  return reinterpret_cast<WNDPROC>(GetPropW(hwnd, kSubclassPreviousProperty));
}

WNDPROC InstallSubclass(HWND hwnd, host::WindowProc proc) {
  if (!proc || !IsWindow(hwnd) || ActiveSubclass(hwnd)) return nullptr;
  if (const WNDPROC previous = SubclassPrevious(hwnd)) {
    // The window's procedure being the one ours replaced means that someone put it back over
    // ours: the trampoline is out of the chain, and only a fresh subclass reaches the window.
    if (CurrentProc(hwnd) != previous) {
      // Going in front again would make ours its own successor: a loop.
      return SetPropW(hwnd, kSubclassProcProperty, reinterpret_cast<HANDLE>(proc)) ? previous
                                                                                   : nullptr;
    }
    RemovePropW(hwnd, kSubclassPreviousProperty);
  }
  const auto previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassTrampoline)));
  if (!previous) return nullptr;
  if (!SetPropW(hwnd, kSubclassPreviousProperty, reinterpret_cast<HANDLE>(previous)) ||
      !SetPropW(hwnd, kSubclassProcProperty, reinterpret_cast<HANDLE>(proc))) {
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    RemovePropW(hwnd, kSubclassPreviousProperty);
    return nullptr;
  }
  return previous;
}

bool RemoveSubclass(HWND hwnd, host::WindowProc proc, WNDPROC previous) {
  if (!proc || !previous || !IsWindow(hwnd) || ActiveSubclass(hwnd) != proc ||
      SubclassPrevious(hwnd) != previous) {
    return false;
  }
  if (CurrentProc(hwnd) == SubclassTrampoline) {
    SetLastError(ERROR_SUCCESS);
    const LONG_PTR replaced =
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    if (replaced != 0 || GetLastError() == ERROR_SUCCESS) {
      RemovePropW(hwnd, kSubclassProcProperty);
      RemovePropW(hwnd, kSubclassPreviousProperty);
      return true;
    }
  }
  // Someone subclassed after us (or the window would not take its procedure back): the
  // trampoline stays where it is and passes on, and so must the code it runs.
  PinThisModule();
  RemovePropW(hwnd, kSubclassProcProperty);
  return true;
}

}  // namespace vestrano::win32
