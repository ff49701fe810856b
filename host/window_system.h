// The window system as the add-in uses it: finding Excel's windows, subclassing the workbook
// area, placing and painting, focus, and the add-in's own form window. Handles are our own value
// types; a failed call returns a null handle, an empty optional or false.
//
// Window procedures keep Win32's shape (handle, message, wParam, lParam) because the workbook
// area's procedure reads and writes the structures that lParam points to. Those structures are
// declared here with exactly Win32's layout, which the Windows adapter checks at compile time.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "host/types.h"

namespace vestrano::host {

// Messages.
inline constexpr std::uint32_t kWmSize = 0x0005;
inline constexpr std::uint32_t kWmEraseBkgnd = 0x0014;
inline constexpr std::uint32_t kWmNcCalcSize = 0x0083;
inline constexpr std::uint32_t kWmNcPaint = 0x0085;
// WM_NCCALCSIZE answer: the second and third rectangles are the valid destination and source
// areas (WVR_VALIDRECTS).
inline constexpr std::intptr_t kWvrValidRects = 0x0400;

// SetWindowPos flags.
inline constexpr std::uint32_t kSwpNoSize = 0x0001;
inline constexpr std::uint32_t kSwpNoMove = 0x0002;
inline constexpr std::uint32_t kSwpNoZOrder = 0x0004;
inline constexpr std::uint32_t kSwpFrameChanged = 0x0020;
inline constexpr std::uint32_t kSwpShowWindow = 0x0040;
inline constexpr std::uint32_t kSwpHideWindow = 0x0080;
inline constexpr std::uint32_t kSwpNoOwnerZOrder = 0x0200;
// The frame-change request: recompute the frame, change nothing else.
inline constexpr std::uint32_t kFrameChangeFlags =
    kSwpNoSize | kSwpNoMove | kSwpNoZOrder | kSwpFrameChanged | kSwpNoOwnerZOrder;  // 0x227
inline constexpr Hwnd kHwndTop{0};

// Window styles.
inline constexpr std::uint32_t kWsChild = 0x40000000u;
inline constexpr std::uint32_t kWsVisible = 0x10000000u;
inline constexpr std::uint32_t kWsPopup = 0x80000000u;

// WINDOWPOS.
struct WindowPos {
  Hwnd hwnd;
  Hwnd insert_after;
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t cx = 0;
  std::int32_t cy = 0;
  std::uint32_t flags = 0;
};

// NCCALCSIZE_PARAMS: with wParam nonzero, lParam of WM_NCCALCSIZE points to one.
struct NcCalcSizeParams {
  Rect rgrc[3];
  WindowPos* lppos = nullptr;
};

using WindowProc = std::intptr_t (*)(Hwnd hwnd, std::uint32_t message, std::uintptr_t wparam,
                                     std::intptr_t lparam);
// An installed window procedure as the window system knows it; 0 is none.
using WindowProcRef = std::uintptr_t;

class IWindowSystem {
 public:
  virtual ~IWindowSystem() = default;

  // The first child of `parent` after `after` (from the first when null) whose class and title
  // equal the given ones; an empty optional matches any. A null parent searches the top-level
  // windows.
  virtual Hwnd FindChildWindow(Hwnd parent, Hwnd after, std::optional<std::string_view> class_name,
                               std::optional<std::string_view> title) = 0;
  virtual std::optional<std::string> ClassNameOf(Hwnd hwnd) = 0;
  // The window's title; the empty string when it has none.
  virtual std::optional<std::string> WindowTextOf(Hwnd hwnd) = 0;

  // Puts `proc` in front of the window's procedure; returns the one it replaced, which `proc`
  // passes messages on to (0: failed).
  virtual WindowProcRef SubclassWindow(Hwnd hwnd, WindowProc proc) = 0;
  // Takes `proc` out of the window's chain. When nobody subclassed the window after it, the
  // window gets `previous` back. Otherwise other add-ins' procedures stay in front, and `proc`'s
  // place in the chain passes messages straight on to `previous` from then on; a later
  // SubclassWindow with `proc` takes that place up again.
  virtual bool UnsubclassWindow(Hwnd hwnd, WindowProc proc, WindowProcRef previous) = 0;
  virtual std::intptr_t CallPreviousProc(WindowProcRef previous, Hwnd hwnd, std::uint32_t message,
                                         std::uintptr_t wparam, std::intptr_t lparam) = 0;

  // The owner of a top-level window (GWL_HWNDPARENT); returns the previous owner.
  virtual std::optional<Hwnd> SetOwner(Hwnd hwnd, Hwnd owner) = 0;
  // Replaces the window's style (GWL_STYLE).
  virtual bool SetStyle(Hwnd hwnd, std::uint32_t style) = 0;
  // A null parent makes the window top-level.
  virtual bool SetParent(Hwnd child, Hwnd parent) = 0;
  // x, y in the parent's client coordinates. With kSwpFrameChanged the window's procedure gets
  // WM_NCCALCSIZE and WM_NCPAINT before this returns.
  virtual bool SetWindowPos(Hwnd hwnd, Hwnd insert_after, int x, int y, int cx, int cy,
                            std::uint32_t flags) = 0;
  // In screen coordinates.
  virtual std::optional<Rect> GetWindowRect(Hwnd hwnd) = 0;
  virtual std::optional<Point> ScreenToClient(Hwnd hwnd, Point point) = 0;
  virtual bool IsWindowVisible(Hwnd hwnd) = 0;
  // Locks drawing in one window (a null handle unlocks).
  virtual bool LockWindowUpdate(Hwnd hwnd) = 0;
  // Returns the window that had the focus before; null when none or on failure.
  virtual Hwnd SetFocus(Hwnd hwnd) = 0;

  // Fills `rect`, in coordinates whose origin is the window's top-left corner (the non-client
  // area included), with a solid colour. Whatever the fill needs (a device context, a brush) is
  // made and given back inside the call.
  virtual bool FillWindowRect(Hwnd hwnd, const Rect& rect, Rgb color) = 0;

  // The add-in's own windows: created hidden and top-level, with `proc` as their procedure;
  // what `proc` does not handle it passes to DefaultWindowProc.
  virtual Hwnd CreateOwnWindow(std::string_view class_name, std::string_view title,
                               std::uint32_t style, WindowProc proc) = 0;
  // The system's default handling of a message.
  virtual std::intptr_t DefaultWindowProc(Hwnd hwnd, std::uint32_t message, std::uintptr_t wparam,
                                          std::intptr_t lparam) = 0;
  virtual bool DestroyWindow(Hwnd hwnd) = 0;
  virtual bool ShowWindow(Hwnd hwnd, bool show) = 0;
  // The client area's size in pixels.
  virtual std::optional<Rect> GetClientRect(Hwnd hwnd) = 0;
};

}  // namespace vestrano::host
