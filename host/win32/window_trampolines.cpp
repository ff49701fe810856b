// Window procedure trampolines. Nothing thrown by the logic may cross back into Windows: a
// message whose handler fails gets the default answer.
#include "host/win32/window_trampolines.h"

#include "host/diagnostics.h"

namespace vestrano::win32 {
namespace {

constexpr wchar_t kOwnProcProperty[] = L"Vestrano.OwnWindowProc";
constexpr wchar_t kSubclassProcProperty[] = L"Vestrano.SubclassProc";
// The procedure the subclass replaced, for messages the portable procedure failed on.
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
  if (!handled) {
    const auto previous = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kSubclassPreviousProperty));
    result = previous ? CallWindowProcW(previous, hwnd, message, wparam, lparam)
                      : DefWindowProcW(hwnd, message, wparam, lparam);
  }
  // A window destroyed while still subclassed takes its procedure with it.
  if (message == WM_NCDESTROY) {
    RemovePropW(hwnd, kSubclassProcProperty);
    RemovePropW(hwnd, kSubclassPreviousProperty);
  }
  return result;
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

WNDPROC InstallSubclass(HWND hwnd, host::WindowProc proc) {
  if (!proc || !IsWindow(hwnd)) return nullptr;
  // A second subclass through here would make the trampoline its own predecessor.
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) == SubclassTrampoline) {
    return nullptr;
  }
  if (!SetPropW(hwnd, kSubclassProcProperty, reinterpret_cast<HANDLE>(proc))) return nullptr;
  SetLastError(ERROR_SUCCESS);
  const auto previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassTrampoline)));
  if (previous) {
    SetPropW(hwnd, kSubclassPreviousProperty, reinterpret_cast<HANDLE>(previous));
  } else {
    RemovePropW(hwnd, kSubclassProcProperty);
  }
  return previous;
}

bool RemoveSubclass(HWND hwnd, host::WindowProc /*proc*/, WNDPROC previous) {
  if (!previous || !IsWindow(hwnd)) return false;
  SetLastError(ERROR_SUCCESS);
  const LONG_PTR replaced =
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
  if (replaced == 0 && GetLastError() != ERROR_SUCCESS) return false;
  RemovePropW(hwnd, kSubclassProcProperty);
  RemovePropW(hwnd, kSubclassPreviousProperty);
  return true;
}

}  // namespace vestrano::win32
