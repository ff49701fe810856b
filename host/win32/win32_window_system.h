// The window system behind host/window_system.h: user32 and gdi32 calls on real windows, with
// the logic's window procedures reached through trampolines.
#pragma once

#include <string>
#include <vector>

#include "host/win32/windows_api.h"
#include "host/window_system.h"

namespace vestrano::win32 {

class Win32WindowSystem final : public host::IWindowSystem {
 public:
  // `module` owns the window classes that CreateOwnWindow registers.
  explicit Win32WindowSystem(HINSTANCE module) : module_(module) {}
  // Unregisters those classes, so that a later load of the DLL, or a later connection, can
  // register them again. A class that still has windows stays registered, and the DLL pinned.
  ~Win32WindowSystem() override;

  // Destroys the add-in's windows that are still alive and takes the logic's procedures out of
  // the windows still subclassed, while the logic can still answer their last messages.
  void ReleaseWindows();

  Hwnd FindChildWindow(Hwnd parent, Hwnd after, std::optional<std::string_view> class_name,
                       std::optional<std::string_view> title) override;
  std::optional<std::string> ClassNameOf(Hwnd hwnd) override;
  std::optional<std::string> WindowTextOf(Hwnd hwnd) override;
  host::WindowProcRef SubclassWindow(Hwnd hwnd, host::WindowProc proc) override;
  bool UnsubclassWindow(Hwnd hwnd, host::WindowProc proc, host::WindowProcRef previous) override;
  std::intptr_t CallPreviousProc(host::WindowProcRef previous, Hwnd hwnd, std::uint32_t message,
                                 std::uintptr_t wparam, std::intptr_t lparam) override;
  std::optional<Hwnd> SetOwner(Hwnd hwnd, Hwnd owner) override;
  bool SetStyle(Hwnd hwnd, std::uint32_t style) override;
  bool SetParent(Hwnd child, Hwnd parent) override;
  bool SetWindowPos(Hwnd hwnd, Hwnd insert_after, int x, int y, int cx, int cy,
                    std::uint32_t flags) override;
  std::optional<Rect> GetWindowRect(Hwnd hwnd) override;
  std::optional<Point> ScreenToClient(Hwnd hwnd, Point point) override;
  bool IsWindowVisible(Hwnd hwnd) override;
  bool LockWindowUpdate(Hwnd hwnd) override;
  Hwnd SetFocus(Hwnd hwnd) override;
  bool FillWindowRect(Hwnd hwnd, const Rect& rect, Rgb color) override;
  Hwnd CreateOwnWindow(std::string_view class_name, std::string_view title, std::uint32_t style,
                       host::WindowProc proc) override;
  std::intptr_t DefaultWindowProc(Hwnd hwnd, std::uint32_t message, std::uintptr_t wparam,
                                  std::intptr_t lparam) override;
  bool DestroyWindow(Hwnd hwnd) override;
  bool ShowWindow(Hwnd hwnd, bool show) override;
  std::optional<Rect> GetClientRect(Hwnd hwnd) override;

 private:
  bool EnsureClass(const std::wstring& class_name);
  bool IsOwnWindow(HWND hwnd) const;

  struct RegisteredClass {
    std::wstring name;
    ATOM atom;
  };
  HINSTANCE module_;
  std::vector<RegisteredClass> registered_classes_;
  // What CreateOwnWindow made and SubclassWindow subclassed; dead handles are pruned as new
  // ones come, so that the lists stay as short as the windows in use.
  std::vector<HWND> own_windows_;
  std::vector<HWND> subclassed_;
};

// Conversions between the logic's handles and Win32's.
inline HWND ToHwnd(Hwnd hwnd) {
  return reinterpret_cast<HWND>(hwnd.value);
}
inline Hwnd FromHwnd(HWND hwnd) {
  return Hwnd{reinterpret_cast<std::uintptr_t>(hwnd)};
}

}  // namespace vestrano::win32
