// An in-memory window system for the tests and vestrano-sim: a tree of windows with class,
// title, owner, style, visibility and geometry; a subclass chain per window; SetWindowPos that
// sends WM_NCCALCSIZE, WM_SIZE and WM_NCPAINT before it returns; a hidden window that uncovers a
// sibling's frame having it painted at once, as Wine does (Windows may do it later, so the add-in
// must be right either way); focus, activation and
// LockWindowUpdate, with the CBT hook run before a change takes effect; and a record of what was
// filled.
//
// The IWindowSystem members are what the add-in calls, each recorded as "Windows.<Method>" in
// HostCalls and each able to fail on request. The other public members are what Excel, the user
// or a test does; they are not recorded and fail only on a dead window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/fake/fake_hooks.h"
#include "host/fake/host_calls.h"
#include "host/window_system.h"

namespace vestrano::fake {

struct FakeHwndState {
  std::string class_name;
  std::string title;
  Hwnd parent;
  Hwnd owner;
  std::uint32_t style = 0;
  Rect window;           // screen coordinates
  Rect client;           // screen coordinates, inside `window`
  bool visible = false;  // the window's own flag; see Shown for the effective visibility
  bool alive = false;
  host::WindowProcRef proc = 0;  // the procedure messages go to
  // Procedures taken out of the chain behind a later subclass: each passes on to its previous.
  std::map<host::WindowProcRef, host::WindowProcRef> pass_through;
};

// One fill: the rectangle in the window's own coordinates and the colour.
struct FakeFill {
  Rect rect;
  Rgb color;
  friend bool operator==(const FakeFill&, const FakeFill&) = default;
};

class FakeWindowSystem final : public host::IWindowSystem {
 public:
  // The procedure every window starts with: WM_NCCALCSIZE leaves the proposed rectangle alone
  // (no border: the client area is the whole window); every message returns 0.
  static constexpr host::WindowProcRef kDefaultProc = 0xD0000;

  FakeWindowSystem(HostCalls& calls, FakeHooks& hooks) : calls_(calls), hooks_(hooks) {}
  FakeWindowSystem(const FakeWindowSystem&) = delete;
  FakeWindowSystem& operator=(const FakeWindowSystem&) = delete;

  // --- host::IWindowSystem ---
  // Children in creation order. Class and title compare exactly: Windows ignores case, but the
  // add-in always spells Excel's names one way, and a misspelling should show here.
  Hwnd FindChildWindow(Hwnd parent, Hwnd after, std::optional<std::string_view> class_name,
                       std::optional<std::string_view> title) override;
  std::optional<std::string> ClassNameOf(Hwnd hwnd) override;
  std::optional<std::string> WindowTextOf(Hwnd hwnd) override;
  // Subclasses chain as the Windows adapter chains them: a procedure taken out while a later one
  // stays in front becomes a pass-through to its previous, and subclassing with it again makes
  // it active in that place. Refs stay valid for the life of the fake; CallPreviousProc of an
  // unknown ref returns 0.
  host::WindowProcRef SubclassWindow(Hwnd hwnd, host::WindowProc proc) override;
  bool UnsubclassWindow(Hwnd hwnd, host::WindowProc proc, host::WindowProcRef previous) override;
  std::intptr_t CallPreviousProc(host::WindowProcRef previous, Hwnd hwnd, std::uint32_t message,
                                 std::uintptr_t wparam, std::intptr_t lparam) override;
  std::optional<Hwnd> SetOwner(Hwnd hwnd, Hwnd owner) override;
  // WS_VISIBLE in the new style shows or hides the window, as SetWindowLong does.
  bool SetStyle(Hwnd hwnd, std::uint32_t style) override;
  // The window keeps its coordinates relative to its parent's client area, as Windows does: the
  // same x, y now count from the new parent's client origin. A parent inside the child fails.
  bool SetParent(Hwnd child, Hwnd parent) override;
  // WM_NCCALCSIZE (wParam 1) goes out when the size changes or with kSwpFrameChanged; its
  // WINDOWPOS carries the window's resulting x, y, cx, cy even under NOMOVE and NOSIZE, as Wine
  // fills it. The answer in rgrc[0], kept inside the window, becomes the client area. WM_SIZE
  // follows when the client size changed, and with kSwpFrameChanged WM_NCPAINT (wParam 1) when
  // the window is shown. insert_after is passed on but z-order is not kept.
  bool SetWindowPos(Hwnd hwnd, Hwnd insert_after, int x, int y, int cx, int cy,
                    std::uint32_t flags) override;
  std::optional<Rect> GetWindowRect(Hwnd hwnd) override;
  std::optional<Point> ScreenToClient(Hwnd hwnd, Point point) override;
  bool IsWindowVisible(Hwnd hwnd) override;
  // One locked window at a time: locking while one is locked fails; null always unlocks.
  bool LockWindowUpdate(Hwnd hwnd) override;
  // Runs the CBT hook (HCBT_SETFOCUS), then activates the window's top-level window if it is
  // not the active one (HCBT_ACTIVATE); either hook can prevent the change. Focusing the window
  // that has the focus does nothing and returns it.
  Hwnd SetFocus(Hwnd hwnd) override;
  // Records the fill, which LastFill and FillCount read back.
  bool FillWindowRect(Hwnd hwnd, const Rect& rect, Rgb color) override;
  // Top-level, hidden, at (0, 0) with no size; `proc` (when not null) first after the default.
  Hwnd CreateOwnWindow(std::string_view class_name, std::string_view title, std::uint32_t style,
                       host::WindowProc proc) override;
  // The default procedure (kDefaultProc).
  std::intptr_t DefaultWindowProc(Hwnd hwnd, std::uint32_t message, std::uintptr_t wparam,
                                  std::intptr_t lparam) override;
  // Destroys the window, its children and the windows it owns; later calls on them fail.
  bool DestroyWindow(Hwnd hwnd) override;
  bool ShowWindow(Hwnd hwnd, bool show) override;
  std::optional<Rect> GetClientRect(Hwnd hwnd) override;

  // --- What Excel, the user and tests do; not recorded. ---
  // A window with the default procedure whose client area is the whole window.
  Hwnd AddWindow(std::string_view class_name, std::string_view title, Hwnd parent,
                 const Rect& rect_in_parent_client, bool visible);
  // The first live direct child of `parent` (null: top-level) of that class (and title).
  Hwnd Find(Hwnd parent, std::string_view class_name,
            std::optional<std::string_view> title = std::nullopt) const;
  bool Destroy(Hwnd hwnd);
  // Moves or resizes the window as its owner program would, without messages: the non-client
  // margins stay as they are, and children keep their place in the client area.
  bool SetWindowRectDirect(Hwnd hwnd, const Rect& rect_in_parent_client);
  // The message goes to the window's current procedure; 0 for a dead window.
  std::intptr_t Send(Hwnd hwnd, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam);
  // The user moving the focus or activating a window: the CBT hook runs and may prevent it.
  // Activate changes the active window only; it does not move the focus.
  bool SetFocusDirect(Hwnd hwnd);
  bool Activate(Hwnd hwnd);

  // --- Observation. ---
  // A copy; a handle never made reads as a dead window.
  FakeHwndState State(Hwnd hwnd) const;
  Rect RectInParent(Hwnd hwnd) const;
  Rect ClientRectInParent(Hwnd hwnd) const;
  // Visible along with all its ancestors.
  bool Shown(Hwnd hwnd) const;
  Hwnd FocusWindow() const { return focus_; }
  Hwnd ActiveWindow() const { return active_; }
  Hwnd LockedWindow() const { return locked_; }
  std::optional<FakeFill> LastFill(Hwnd hwnd) const;
  std::size_t FillCount(Hwnd hwnd) const;

 private:
  FakeHwndState* Get(Hwnd hwnd);
  const FakeHwndState* Get(Hwnd hwnd) const;
  std::vector<Hwnd> Children(Hwnd parent) const;
  bool IsInside(Hwnd hwnd, Hwnd ancestor) const;
  Hwnd TopLevelOf(Hwnd hwnd) const;
  // The screen position of the client origin that `parent`'s children are placed against.
  Point ClientOrigin(Hwnd parent) const;
  void ShiftDescendants(Hwnd hwnd, int dx, int dy);
  void SetVisible(FakeHwndState& window, bool visible);
  // After `hwnd` was hidden: WM_NCPAINT to every shown sibling whose frame it covered.
  void Uncover(Hwnd hwnd, const Rect& covered);
  host::WindowProcRef RefOf(host::WindowProc proc);
  std::intptr_t Dispatch(host::WindowProcRef proc, Hwnd hwnd, std::uint32_t message,
                         std::uintptr_t wparam, std::intptr_t lparam);
  bool MoveFocus(Hwnd hwnd, Hwnd& previous);
  Hwnd Make(std::string_view class_name, std::string_view title, Hwnd parent, const Rect& screen,
            std::uint32_t style);

  HostCalls& calls_;
  FakeHooks& hooks_;
  std::deque<FakeHwndState> windows_;    // by handle; never erased, so references stay valid
  std::vector<host::WindowProc> procs_;  // by ref
  Hwnd focus_;
  Hwnd active_;
  Hwnd locked_;
  std::map<Hwnd, std::vector<FakeFill>> fills_;
};

}  // namespace vestrano::fake
