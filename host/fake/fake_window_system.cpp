// The fake window system's windows, procedures, focus and painting. Placement and coordinates
// are in fake_window_placement.cpp. Handles and procedure refs are drawn from separate ranges and
// never reused, so a value of one kind passed as another, or a stale one, fails instead of
// finding something.
#include "host/fake/fake_window_system.h"

#include <algorithm>
#include <utility>

#include "host/hooks.h"

namespace vestrano::fake {
namespace {

constexpr std::uintptr_t kFirstHandle = 0x20010;
constexpr std::uintptr_t kHandleStep = 0x10;
constexpr host::WindowProcRef kFirstProcRef = FakeWindowSystem::kDefaultProc + 0x10;
constexpr host::WindowProcRef kProcRefStep = 0x10;

bool Matches(const FakeHwndState& window, std::optional<std::string_view> class_name,
             std::optional<std::string_view> title) {
  return window.alive && (!class_name || window.class_name == *class_name) &&
         (!title || window.title == *title);
}

}  // namespace

FakeHwndState* FakeWindowSystem::Get(Hwnd hwnd) {
  return const_cast<FakeHwndState*>(std::as_const(*this).Get(hwnd));
}

const FakeHwndState* FakeWindowSystem::Get(Hwnd hwnd) const {
  if (hwnd.value < kFirstHandle || (hwnd.value - kFirstHandle) % kHandleStep != 0) return nullptr;
  const std::size_t index = (hwnd.value - kFirstHandle) / kHandleStep;
  if (index >= windows_.size() || !windows_[index].alive) return nullptr;
  return &windows_[index];
}

std::vector<Hwnd> FakeWindowSystem::Children(Hwnd parent) const {
  std::vector<Hwnd> children;
  for (std::size_t i = 0; i < windows_.size(); ++i) {
    if (windows_[i].alive && windows_[i].parent == parent) {
      children.push_back(Hwnd{kFirstHandle + i * kHandleStep});
    }
  }
  return children;
}

Hwnd FakeWindowSystem::TopLevelOf(Hwnd hwnd) const {
  for (const FakeHwndState* window = Get(hwnd); window && window->parent;
       window = Get(window->parent)) {
    hwnd = window->parent;
  }
  return hwnd;
}

bool FakeWindowSystem::IsInside(Hwnd hwnd, Hwnd ancestor) const {
  for (; hwnd; hwnd = Get(hwnd) ? Get(hwnd)->parent : Hwnd{}) {
    if (hwnd == ancestor) return true;
  }
  return false;
}

Hwnd FakeWindowSystem::Make(std::string_view class_name, std::string_view title, Hwnd parent,
                            const Rect& screen, std::uint32_t style) {
  FakeHwndState window;
  window.class_name = class_name;
  window.title = title;
  window.parent = parent;
  window.style = style;
  window.window = screen;
  window.client = screen;
  window.visible = (style & host::kWsVisible) != 0;
  window.alive = true;
  window.proc = kDefaultProc;
  windows_.push_back(std::move(window));
  return Hwnd{kFirstHandle + (windows_.size() - 1) * kHandleStep};
}

Hwnd FakeWindowSystem::AddWindow(std::string_view class_name, std::string_view title, Hwnd parent,
                                 const Rect& rect_in_parent_client, bool visible) {
  if (parent && !Get(parent)) return Hwnd{};
  const Point origin = ClientOrigin(parent);
  const Rect screen{rect_in_parent_client.left + origin.x, rect_in_parent_client.top + origin.y,
                    rect_in_parent_client.right + origin.x,
                    rect_in_parent_client.bottom + origin.y};
  const std::uint32_t style = (parent ? host::kWsChild : 0u) | (visible ? host::kWsVisible : 0u);
  return Make(class_name, title, parent, screen, style);
}

Hwnd FakeWindowSystem::Find(Hwnd parent, std::string_view class_name,
                            std::optional<std::string_view> title) const {
  for (Hwnd child : Children(parent)) {
    if (Matches(*Get(child), class_name, title)) return child;
  }
  return Hwnd{};
}

Hwnd FakeWindowSystem::FindChildWindow(Hwnd parent, Hwnd after,
                                       std::optional<std::string_view> class_name,
                                       std::optional<std::string_view> title) {
  if (!calls_.Enter("Windows.FindChildWindow")) return Hwnd{};
  if (parent && !Get(parent)) return Hwnd{};
  const auto children = Children(parent);
  auto it = children.begin();
  if (after) {
    it = std::find(children.begin(), children.end(), after);
    if (it == children.end()) return Hwnd{};
    ++it;
  }
  for (; it != children.end(); ++it) {
    if (Matches(*Get(*it), class_name, title)) return *it;
  }
  return Hwnd{};
}

std::optional<std::string> FakeWindowSystem::ClassNameOf(Hwnd hwnd) {
  if (!calls_.Enter("Windows.ClassNameOf") || !Get(hwnd)) return std::nullopt;
  return Get(hwnd)->class_name;
}

std::optional<std::string> FakeWindowSystem::WindowTextOf(Hwnd hwnd) {
  if (!calls_.Enter("Windows.WindowTextOf") || !Get(hwnd)) return std::nullopt;
  return Get(hwnd)->title;
}

host::WindowProcRef FakeWindowSystem::RefOf(host::WindowProc proc) {
  auto it = std::find(procs_.begin(), procs_.end(), proc);
  if (it == procs_.end()) it = procs_.insert(procs_.end(), proc);
  return kFirstProcRef + static_cast<std::size_t>(it - procs_.begin()) * kProcRefStep;
}

std::intptr_t FakeWindowSystem::Dispatch(host::WindowProcRef proc, Hwnd hwnd, std::uint32_t message,
                                         std::uintptr_t wparam, std::intptr_t lparam) {
  if (proc == kDefaultProc) return 0;
  if (proc < kFirstProcRef || (proc - kFirstProcRef) % kProcRefStep != 0) return 0;
  const std::size_t index = (proc - kFirstProcRef) / kProcRefStep;
  if (index >= procs_.size()) return 0;
  // A procedure taken out of the chain while others stayed in front of it only passes on.
  if (const FakeHwndState* window = Get(hwnd)) {
    if (auto passing = window->pass_through.find(proc); passing != window->pass_through.end()) {
      return Dispatch(passing->second, hwnd, message, wparam, lparam);
    }
  }
  const host::WindowProc target = procs_[index];
  return target(hwnd, message, wparam, lparam);
}

std::intptr_t FakeWindowSystem::Send(Hwnd hwnd, std::uint32_t message, std::uintptr_t wparam,
                                     std::intptr_t lparam) {
  const FakeHwndState* window = Get(hwnd);
  return window ? Dispatch(window->proc, hwnd, message, wparam, lparam) : 0;
}

host::WindowProcRef FakeWindowSystem::SubclassWindow(Hwnd hwnd, host::WindowProc proc) {
  if (!calls_.Enter("Windows.SubclassWindow") || !Get(hwnd) || proc == nullptr) return 0;
  FakeHwndState& window = *Get(hwnd);
  const host::WindowProcRef ref = RefOf(proc);
  // Still in the chain as a pass-through: it takes up its old place again rather than going in
  // front a second time, which would make it its own predecessor.
  if (auto passing = window.pass_through.find(ref); passing != window.pass_through.end()) {
    const host::WindowProcRef previous = passing->second;
    window.pass_through.erase(passing);
    return previous;
  }
  if (window.proc == ref) return 0;
  return std::exchange(window.proc, ref);
}

bool FakeWindowSystem::UnsubclassWindow(Hwnd hwnd, host::WindowProc proc,
                                        host::WindowProcRef previous) {
  if (!calls_.Enter("Windows.UnsubclassWindow") || !Get(hwnd) || proc == nullptr) return false;
  const bool known = previous == kDefaultProc ||
                     (previous >= kFirstProcRef && (previous - kFirstProcRef) % kProcRefStep == 0 &&
                      (previous - kFirstProcRef) / kProcRefStep < procs_.size());
  if (!known) return false;
  FakeHwndState& window = *Get(hwnd);
  const host::WindowProcRef ref = RefOf(proc);
  if (window.proc == ref) {
    window.proc = previous;
  } else {
    window.pass_through[ref] = previous;
  }
  return true;
}

std::intptr_t FakeWindowSystem::CallPreviousProc(host::WindowProcRef previous, Hwnd hwnd,
                                                 std::uint32_t message, std::uintptr_t wparam,
                                                 std::intptr_t lparam) {
  if (!calls_.Enter("Windows.CallPreviousProc")) return 0;
  return Dispatch(previous, hwnd, message, wparam, lparam);
}

std::intptr_t FakeWindowSystem::DefaultWindowProc(Hwnd hwnd, std::uint32_t message,
                                                  std::uintptr_t wparam, std::intptr_t lparam) {
  if (!calls_.Enter("Windows.DefaultWindowProc")) return 0;
  return Dispatch(kDefaultProc, hwnd, message, wparam, lparam);
}

std::optional<Hwnd> FakeWindowSystem::SetOwner(Hwnd hwnd, Hwnd owner) {
  if (!calls_.Enter("Windows.SetOwner") || !Get(hwnd) || (owner && !Get(owner))) {
    return std::nullopt;
  }
  return std::exchange(Get(hwnd)->owner, owner);
}

void FakeWindowSystem::SetVisible(FakeHwndState& window, bool visible) {
  window.visible = visible;
  window.style = visible ? window.style | host::kWsVisible : window.style & ~host::kWsVisible;
}

bool FakeWindowSystem::SetStyle(Hwnd hwnd, std::uint32_t style) {
  if (!calls_.Enter("Windows.SetStyle") || !Get(hwnd)) return false;
  FakeHwndState& window = *Get(hwnd);
  window.style = style;
  window.visible = (style & host::kWsVisible) != 0;
  return true;
}

bool FakeWindowSystem::ShowWindow(Hwnd hwnd, bool show) {
  if (!calls_.Enter("Windows.ShowWindow") || !Get(hwnd)) return false;
  const bool was_shown = Shown(hwnd);
  SetVisible(*Get(hwnd), show);
  if (was_shown && !show) Uncover(hwnd, Get(hwnd)->window);
  return true;
}

void FakeWindowSystem::Uncover(Hwnd hwnd, const Rect& covered) {
  const FakeHwndState* window = Get(hwnd);
  if (!window) return;
  const auto meets = [](const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
  };
  // The exposed area is a region, not the whole frame: wParam is not 1.
  constexpr std::uintptr_t kExposedRegion = 2;
  for (const Hwnd sibling : Children(window->parent)) {
    const FakeHwndState* other = Get(sibling);
    if (sibling == hwnd || !other || !Shown(sibling) || !meets(other->window, covered)) continue;
    const Rect& frame = other->window;
    const Rect& client = other->client;
    // Only the frame outside the client area is the non-client area's to paint.
    const Rect bands[] = {{frame.left, frame.top, frame.right, client.top},
                          {frame.left, client.bottom, frame.right, frame.bottom},
                          {frame.left, client.top, client.left, client.bottom},
                          {client.right, client.top, frame.right, client.bottom}};
    for (const Rect& band : bands) {
      if (band.Width() > 0 && band.Height() > 0 && meets(band, covered)) {
        Send(sibling, host::kWmNcPaint, kExposedRegion, 0);
        break;
      }
    }
  }
}

Hwnd FakeWindowSystem::CreateOwnWindow(std::string_view class_name, std::string_view title,
                                       std::uint32_t style, host::WindowProc proc) {
  if (!calls_.Enter("Windows.CreateOwnWindow")) return Hwnd{};
  const Hwnd hwnd = Make(class_name, title, Hwnd{}, Rect{}, style & ~host::kWsVisible);
  if (proc) Get(hwnd)->proc = RefOf(proc);
  return hwnd;
}

bool FakeWindowSystem::Destroy(Hwnd hwnd) {
  if (!Get(hwnd)) return false;
  std::vector<Hwnd> doomed{hwnd};
  for (std::size_t i = 0; i < doomed.size(); ++i) {
    for (std::size_t j = 0; j < windows_.size(); ++j) {
      const FakeHwndState& other = windows_[j];
      if (other.alive && (other.parent == doomed[i] || other.owner == doomed[i])) {
        const Hwnd handle{kFirstHandle + j * kHandleStep};
        if (std::find(doomed.begin(), doomed.end(), handle) == doomed.end()) {
          doomed.push_back(handle);
        }
      }
    }
  }
  for (Hwnd gone : doomed) {
    Get(gone)->alive = false;
    for (Hwnd* held : {&focus_, &active_, &locked_}) {
      if (*held == gone) *held = Hwnd{};
    }
  }
  return true;
}

bool FakeWindowSystem::DestroyWindow(Hwnd hwnd) {
  return calls_.Enter("Windows.DestroyWindow") && Destroy(hwnd);
}

bool FakeWindowSystem::Activate(Hwnd hwnd) {
  if (!Get(hwnd)) return false;
  if (hwnd == active_) return true;
  if (hooks_.RunCbt(host::kHcbtActivate, hwnd.value, 0) != 0) return false;
  if (!Get(hwnd)) return false;
  active_ = hwnd;
  return true;
}

bool FakeWindowSystem::MoveFocus(Hwnd hwnd, Hwnd& previous) {
  previous = focus_;
  if (hwnd && !Get(hwnd)) return false;
  if (hwnd == focus_) return true;
  if (hooks_.RunCbt(host::kHcbtSetFocus, hwnd.value, static_cast<std::intptr_t>(previous.value)) !=
      0) {
    return false;
  }
  if (hwnd && (!Get(hwnd) || !Activate(TopLevelOf(hwnd)))) return false;
  // The hook may have moved the focus itself; what it was before this call is still the answer.
  focus_ = hwnd;
  return true;
}

Hwnd FakeWindowSystem::SetFocus(Hwnd hwnd) {
  if (!calls_.Enter("Windows.SetFocus")) return Hwnd{};
  Hwnd previous;
  return MoveFocus(hwnd, previous) ? previous : Hwnd{};
}

bool FakeWindowSystem::SetFocusDirect(Hwnd hwnd) {
  Hwnd previous;
  return MoveFocus(hwnd, previous);
}

bool FakeWindowSystem::LockWindowUpdate(Hwnd hwnd) {
  if (!calls_.Enter("Windows.LockWindowUpdate")) return false;
  if (!hwnd) {
    locked_ = Hwnd{};
    return true;
  }
  if (locked_ || !Get(hwnd)) return false;
  locked_ = hwnd;
  return true;
}

bool FakeWindowSystem::FillWindowRect(Hwnd hwnd, const Rect& rect, Rgb color) {
  if (!calls_.Enter("Windows.FillWindowRect") || !Get(hwnd)) return false;
  fills_[hwnd].push_back(FakeFill{rect, color});
  return true;
}

std::optional<FakeFill> FakeWindowSystem::LastFill(Hwnd hwnd) const {
  auto it = fills_.find(hwnd);
  if (it == fills_.end() || it->second.empty()) return std::nullopt;
  return it->second.back();
}

std::size_t FakeWindowSystem::FillCount(Hwnd hwnd) const {
  auto it = fills_.find(hwnd);
  return it == fills_.end() ? 0 : it->second.size();
}

FakeHwndState FakeWindowSystem::State(Hwnd hwnd) const {
  if (hwnd.value < kFirstHandle || (hwnd.value - kFirstHandle) % kHandleStep != 0) return {};
  const std::size_t index = (hwnd.value - kFirstHandle) / kHandleStep;
  return index < windows_.size() ? windows_[index] : FakeHwndState{};
}

}  // namespace vestrano::fake
