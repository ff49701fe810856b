// user32/gdi32 window calls. The logic reads WM_NCCALCSIZE's lParam (NCCALCSIZE_PARAMS and its
// WINDOWPOS) through its own declarations of those structures, so their layout is checked here
// against Win32's, where both are visible.
#include "host/win32/win32_window_system.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "host/diagnostics.h"
#include "host/win32/module_pin.h"
#include "host/win32/wide_text.h"
#include "host/win32/win32_handles.h"
#include "host/win32/window_trampolines.h"

namespace vestrano::win32 {
namespace {

static_assert(sizeof(Hwnd) == sizeof(HWND));
static_assert(sizeof(Rect) == sizeof(RECT) && offsetof(Rect, left) == offsetof(RECT, left) &&
              offsetof(Rect, top) == offsetof(RECT, top) &&
              offsetof(Rect, right) == offsetof(RECT, right) &&
              offsetof(Rect, bottom) == offsetof(RECT, bottom));
static_assert(sizeof(host::WindowPos) == sizeof(WINDOWPOS) &&
              offsetof(host::WindowPos, hwnd) == offsetof(WINDOWPOS, hwnd) &&
              offsetof(host::WindowPos, insert_after) == offsetof(WINDOWPOS, hwndInsertAfter) &&
              offsetof(host::WindowPos, x) == offsetof(WINDOWPOS, x) &&
              offsetof(host::WindowPos, y) == offsetof(WINDOWPOS, y) &&
              offsetof(host::WindowPos, cx) == offsetof(WINDOWPOS, cx) &&
              offsetof(host::WindowPos, cy) == offsetof(WINDOWPOS, cy) &&
              offsetof(host::WindowPos, flags) == offsetof(WINDOWPOS, flags));
static_assert(sizeof(host::NcCalcSizeParams) == sizeof(NCCALCSIZE_PARAMS) &&
              offsetof(host::NcCalcSizeParams, rgrc) == offsetof(NCCALCSIZE_PARAMS, rgrc) &&
              offsetof(host::NcCalcSizeParams, lppos) == offsetof(NCCALCSIZE_PARAMS, lppos));
static_assert(host::kWmNcCalcSize == WM_NCCALCSIZE && host::kWmNcPaint == WM_NCPAINT &&
              host::kWmSize == WM_SIZE && host::kWmEraseBkgnd == WM_ERASEBKGND);
static_assert(host::kFrameChangeFlags ==
              (SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOOWNERZORDER));

Rect FromRect(const RECT& r) {
  return {r.left, r.top, r.right, r.bottom};
}

// Set and Get of window longs return 0 both for failure and for a previous value of 0.
template <typename Call>
std::optional<LONG_PTR> WindowLongCall(Call call) {
  SetLastError(ERROR_SUCCESS);
  const LONG_PTR result = call();
  if (result == 0 && GetLastError() != ERROR_SUCCESS) return std::nullopt;
  return result;
}

void PruneDead(std::vector<HWND>& windows) {
  std::erase_if(windows, [](HWND hwnd) { return !IsWindow(hwnd); });
}

}  // namespace

Win32WindowSystem::~Win32WindowSystem() {
  for (const auto& window_class : registered_classes_) {
    if (!UnregisterClassW(window_class.name.c_str(), module_)) {
      // Its windows would call into the DLL after an unload.
      host::ReportFailure("unregistering the add-in's window classes",
                          "a class could not be unregistered; the DLL stays loaded");
      PinThisModule();
    }
  }
}

bool Win32WindowSystem::IsOwnWindow(HWND hwnd) const {
  // A handle may have been reused by a window of someone else's.
  const auto atom = static_cast<ATOM>(GetClassLongPtrW(hwnd, GCW_ATOM));
  return IsWindow(hwnd) && std::any_of(registered_classes_.begin(), registered_classes_.end(),
                                       [&](const RegisteredClass& window_class) {
                                         return window_class.atom == atom;
                                       });
}

void Win32WindowSystem::ReleaseWindows() {
  for (const HWND hwnd : std::exchange(subclassed_, {})) {
    if (!IsWindow(hwnd)) continue;
    if (const host::WindowProc proc = ActiveSubclass(hwnd)) {
      RemoveSubclass(hwnd, proc, SubclassPrevious(hwnd));
    }
  }
  for (const HWND hwnd : std::exchange(own_windows_, {})) {
    if (IsOwnWindow(hwnd)) ::DestroyWindow(hwnd);
  }
}

Hwnd Win32WindowSystem::FindChildWindow(Hwnd parent, Hwnd after,
                                        std::optional<std::string_view> class_name,
                                        std::optional<std::string_view> title) {
  const std::wstring wide_class = class_name ? Utf8ToWide(*class_name) : std::wstring();
  const std::wstring wide_title = title ? Utf8ToWide(*title) : std::wstring();
  return FromHwnd(FindWindowExW(ToHwnd(parent), ToHwnd(after),
                                class_name ? wide_class.c_str() : nullptr,
                                title ? wide_title.c_str() : nullptr));
}

std::optional<std::string> Win32WindowSystem::ClassNameOf(Hwnd hwnd) {
  wchar_t buffer[257];  // class names are at most 256 characters
  const int length = GetClassNameW(ToHwnd(hwnd), buffer, static_cast<int>(std::size(buffer)));
  if (length <= 0) return std::nullopt;
  return WideToUtf8({buffer, static_cast<std::size_t>(length)});
}

std::optional<std::string> Win32WindowSystem::WindowTextOf(Hwnd hwnd) {
  // Only the start of a title is ever compared; a longer one is cut, as GetWindowText cuts it.
  wchar_t buffer[256];
  SetLastError(ERROR_SUCCESS);
  const int length = GetWindowTextW(ToHwnd(hwnd), buffer, static_cast<int>(std::size(buffer)));
  if (length <= 0 && GetLastError() != ERROR_SUCCESS) return std::nullopt;
  return WideToUtf8({buffer, static_cast<std::size_t>(length > 0 ? length : 0)});
}

host::WindowProcRef Win32WindowSystem::SubclassWindow(Hwnd hwnd, host::WindowProc proc) {
  const HWND window = ToHwnd(hwnd);
  const WNDPROC previous = InstallSubclass(window, proc);
  if (previous) {
    PruneDead(subclassed_);
    if (std::find(subclassed_.begin(), subclassed_.end(), window) == subclassed_.end()) {
      subclassed_.push_back(window);
    }
  }
  return reinterpret_cast<host::WindowProcRef>(previous);
}

bool Win32WindowSystem::UnsubclassWindow(Hwnd hwnd, host::WindowProc proc,
                                         host::WindowProcRef previous) {
  const HWND window = ToHwnd(hwnd);
  if (!RemoveSubclass(window, proc, reinterpret_cast<WNDPROC>(previous))) return false;
  std::erase(subclassed_, window);
  return true;
}

std::intptr_t Win32WindowSystem::CallPreviousProc(host::WindowProcRef previous, Hwnd hwnd,
                                                  std::uint32_t message, std::uintptr_t wparam,
                                                  std::intptr_t lparam) {
  if (!previous) return DefWindowProcW(ToHwnd(hwnd), message, wparam, lparam);
  return CallWindowProcW(reinterpret_cast<WNDPROC>(previous), ToHwnd(hwnd), message, wparam,
                         lparam);
}

std::optional<Hwnd> Win32WindowSystem::SetOwner(Hwnd hwnd, Hwnd owner) {
  const auto previous = WindowLongCall([&] {
    return SetWindowLongPtrW(ToHwnd(hwnd), GWLP_HWNDPARENT, static_cast<LONG_PTR>(owner.value));
  });
  if (!previous) return std::nullopt;
  return Hwnd{static_cast<std::uintptr_t>(*previous)};
}

bool Win32WindowSystem::SetStyle(Hwnd hwnd, std::uint32_t style) {
  return WindowLongCall(
             [&] { return SetWindowLongPtrW(ToHwnd(hwnd), GWL_STYLE, static_cast<LONG>(style)); })
      .has_value();
}

bool Win32WindowSystem::SetParent(Hwnd child, Hwnd parent) {
  SetLastError(ERROR_SUCCESS);
  return ::SetParent(ToHwnd(child), ToHwnd(parent)) != nullptr || GetLastError() == ERROR_SUCCESS;
}

bool Win32WindowSystem::SetWindowPos(Hwnd hwnd, Hwnd insert_after, int x, int y, int cx, int cy,
                                     std::uint32_t flags) {
  return ::SetWindowPos(ToHwnd(hwnd), ToHwnd(insert_after), x, y, cx, cy, flags) != FALSE;
}

std::optional<Rect> Win32WindowSystem::GetWindowRect(Hwnd hwnd) {
  RECT rect;
  if (!::GetWindowRect(ToHwnd(hwnd), &rect)) return std::nullopt;
  return FromRect(rect);
}

std::optional<Point> Win32WindowSystem::ScreenToClient(Hwnd hwnd, Point point) {
  POINT p{point.x, point.y};
  if (!::ScreenToClient(ToHwnd(hwnd), &p)) return std::nullopt;
  return Point{p.x, p.y};
}

bool Win32WindowSystem::IsWindowVisible(Hwnd hwnd) {
  return ::IsWindowVisible(ToHwnd(hwnd));
}

bool Win32WindowSystem::LockWindowUpdate(Hwnd hwnd) {
  return ::LockWindowUpdate(ToHwnd(hwnd));
}

Hwnd Win32WindowSystem::SetFocus(Hwnd hwnd) {
  return FromHwnd(::SetFocus(ToHwnd(hwnd)));
}

bool Win32WindowSystem::FillWindowRect(Hwnd hwnd, const Rect& rect, Rgb color) {
  const HWND window = ToHwnd(hwnd);
  // The DC and the brush live for this fill only, whatever happens in it.
  const UniqueWindowDc dc({window, ::GetWindowDC(window)});
  const UniqueBrush brush(::CreateSolidBrush(color.ToColorRef()));
  if (!dc || !brush) return false;
  const RECT r{rect.left, rect.top, rect.right, rect.bottom};
  return ::FillRect(dc.Get().dc, &r, brush.Get()) != 0;
}

bool Win32WindowSystem::EnsureClass(const std::wstring& class_name) {
  if (std::any_of(registered_classes_.begin(), registered_classes_.end(),
                  [&](const RegisteredClass& known) { return known.name == class_name; })) {
    return true;
  }
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.style = CS_DBLCLKS;
  window_class.lpfnWndProc = OwnWindowTrampoline;
  window_class.hInstance = module_;
  window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = class_name.c_str();
  const ATOM atom = RegisterClassExW(&window_class);
  if (!atom) return false;
  registered_classes_.push_back({class_name, atom});
  return true;
}

Hwnd Win32WindowSystem::CreateOwnWindow(std::string_view class_name, std::string_view title,
                                        std::uint32_t style, host::WindowProc proc) {
  const std::wstring wide_class = Utf8ToWide(class_name);
  if (!proc || !EnsureClass(wide_class)) return {};
  const std::wstring wide_title = Utf8ToWide(title);
  const HWND window = CreateWindowExW(0, wide_class.c_str(), wide_title.c_str(),
                                      style & ~static_cast<DWORD>(WS_VISIBLE), 0, 0, 0, 0, nullptr,
                                      nullptr, module_, reinterpret_cast<void*>(proc));
  if (window) {
    PruneDead(own_windows_);
    own_windows_.push_back(window);
  }
  return FromHwnd(window);
}

std::intptr_t Win32WindowSystem::DefaultWindowProc(Hwnd hwnd, std::uint32_t message,
                                                   std::uintptr_t wparam, std::intptr_t lparam) {
  return DefWindowProcW(ToHwnd(hwnd), message, wparam, lparam);
}

bool Win32WindowSystem::DestroyWindow(Hwnd hwnd) {
  return UniqueWindow(ToHwnd(hwnd)).Close() != FALSE;
}

bool Win32WindowSystem::ShowWindow(Hwnd hwnd, bool show) {
  const HWND window = ToHwnd(hwnd);
  if (!IsWindow(window)) return false;
  // ShowWindow answers the previous visibility, not success.
  ::ShowWindow(window, show ? SW_SHOW : SW_HIDE);
  return true;
}

std::optional<Rect> Win32WindowSystem::GetClientRect(Hwnd hwnd) {
  RECT rect;
  if (!::GetClientRect(ToHwnd(hwnd), &rect)) return std::nullopt;
  return FromRect(rect);
}

}  // namespace vestrano::win32
