// The fake window system's geometry: rectangles are kept in screen coordinates and converted at
// the edges, so that moving a window or changing its parent's client area carries its children
// along, as Windows keeps a child's position relative to its parent's client origin.
#include "host/fake/fake_window_system.h"

#include <algorithm>

namespace vestrano::fake {
namespace {

Rect Offset(const Rect& rect, int dx, int dy) {
  return Rect{rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
}

// A window procedure may answer WM_NCCALCSIZE with anything; the client area stays inside the
// window and never turns inside out.
Rect ClampInside(const Rect& client, const Rect& window) {
  Rect clamped;
  clamped.left = std::clamp(client.left, window.left, window.right);
  clamped.top = std::clamp(client.top, window.top, window.bottom);
  clamped.right = std::clamp(client.right, clamped.left, window.right);
  clamped.bottom = std::clamp(client.bottom, clamped.top, window.bottom);
  return clamped;
}

// WM_SIZE's lParam: the client width in the low word, the height in the high word.
std::intptr_t SizeParam(const Rect& client) {
  return static_cast<std::intptr_t>((static_cast<std::uint32_t>(client.Height()) & 0xFFFF) << 16 |
                                    (static_cast<std::uint32_t>(client.Width()) & 0xFFFF));
}

}  // namespace

Point FakeWindowSystem::ClientOrigin(Hwnd parent) const {
  const FakeHwndState* window = Get(parent);
  return window ? Point{window->client.left, window->client.top} : Point{};
}

void FakeWindowSystem::ShiftDescendants(Hwnd hwnd, int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  for (Hwnd child : Children(hwnd)) {
    FakeHwndState& window = *Get(child);
    window.window = Offset(window.window, dx, dy);
    window.client = Offset(window.client, dx, dy);
    ShiftDescendants(child, dx, dy);
  }
}

Rect FakeWindowSystem::RectInParent(Hwnd hwnd) const {
  const FakeHwndState* window = Get(hwnd);
  if (!window) return {};
  const Point origin = ClientOrigin(window->parent);
  return Offset(window->window, -origin.x, -origin.y);
}

Rect FakeWindowSystem::ClientRectInParent(Hwnd hwnd) const {
  const FakeHwndState* window = Get(hwnd);
  if (!window) return {};
  const Point origin = ClientOrigin(window->parent);
  return Offset(window->client, -origin.x, -origin.y);
}

bool FakeWindowSystem::Shown(Hwnd hwnd) const {
  const FakeHwndState* window = Get(hwnd);
  for (; window; window = window->parent ? Get(window->parent) : nullptr) {
    if (!window->visible) return false;
    if (!window->parent) return true;
  }
  return false;
}

bool FakeWindowSystem::SetParent(Hwnd child, Hwnd parent) {
  if (!calls_.Enter("Windows.SetParent")) return false;
  FakeHwndState* window = Get(child);
  if (!window || (parent && (!Get(parent) || IsInside(parent, child)))) return false;
  const Rect rect = RectInParent(child);
  const Rect client = ClientRectInParent(child);
  const Point old_client{window->client.left, window->client.top};
  window->parent = parent;
  const Point origin = ClientOrigin(parent);
  window->window = Offset(rect, origin.x, origin.y);
  window->client = Offset(client, origin.x, origin.y);
  ShiftDescendants(child, window->client.left - old_client.x, window->client.top - old_client.y);
  return true;
}

bool FakeWindowSystem::SetWindowRectDirect(Hwnd hwnd, const Rect& rect_in_parent_client) {
  FakeHwndState* window = Get(hwnd);
  if (!window) return false;
  const Point origin = ClientOrigin(window->parent);
  const Rect screen = Offset(rect_in_parent_client, origin.x, origin.y);
  const Rect margins{
      window->client.left - window->window.left, window->client.top - window->window.top,
      window->window.right - window->client.right, window->window.bottom - window->client.bottom};
  const Point old_client{window->client.left, window->client.top};
  window->window = screen;
  window->client = ClampInside(Rect{screen.left + margins.left, screen.top + margins.top,
                                    screen.right - margins.right, screen.bottom - margins.bottom},
                               screen);
  ShiftDescendants(hwnd, window->client.left - old_client.x, window->client.top - old_client.y);
  return true;
}

bool FakeWindowSystem::SetWindowPos(Hwnd hwnd, Hwnd insert_after, int x, int y, int cx, int cy,
                                    std::uint32_t flags) {
  if (!calls_.Enter("Windows.SetWindowPos") || !Get(hwnd)) return false;
  const Rect old_screen = Get(hwnd)->window;
  const Rect old_rect = RectInParent(hwnd);
  const Rect old_client = ClientRectInParent(hwnd);
  Rect rect = old_rect;
  if (!(flags & host::kSwpNoMove)) rect = Offset(rect, x - rect.left, y - rect.top);
  if (!(flags & host::kSwpNoSize)) {
    rect.right = rect.left + std::max(cx, 0);
    rect.bottom = rect.top + std::max(cy, 0);
  }
  Rect client = Offset(old_client, rect.left - old_rect.left, rect.top - old_rect.top);
  const bool resized = rect.Width() != old_rect.Width() || rect.Height() != old_rect.Height();
  if (resized || (flags & host::kSwpFrameChanged)) {
    host::WindowPos pos{hwnd,         insert_after,  rect.left, rect.top,
                        rect.Width(), rect.Height(), flags};
    host::NcCalcSizeParams params{{rect, old_rect, old_client}, &pos};
    Send(hwnd, host::kWmNcCalcSize, 1, reinterpret_cast<std::intptr_t>(&params));
    client = ClampInside(params.rgrc[0], rect);
  }
  FakeHwndState* window = Get(hwnd);
  if (!window) return false;  // destroyed while it answered
  const Point origin = ClientOrigin(window->parent);
  const Point old_origin{window->client.left, window->client.top};
  const Rect old_size = window->client;
  window->window = Offset(rect, origin.x, origin.y);
  window->client = Offset(client, origin.x, origin.y);
  ShiftDescendants(hwnd, window->client.left - old_origin.x, window->client.top - old_origin.y);
  if (flags & host::kSwpShowWindow) {
    SetVisible(*window, true);
  } else if (flags & host::kSwpHideWindow) {
    const bool was_shown = Shown(hwnd);
    SetVisible(*window, false);
    if (was_shown) Uncover(hwnd, old_screen);
  }
  if (client.Width() != old_size.Width() || client.Height() != old_size.Height()) {
    Send(hwnd, host::kWmSize, 0, SizeParam(client));
  }
  if ((flags & host::kSwpFrameChanged) && Shown(hwnd)) Send(hwnd, host::kWmNcPaint, 1, 0);
  return true;
}

std::optional<Rect> FakeWindowSystem::GetWindowRect(Hwnd hwnd) {
  if (!calls_.Enter("Windows.GetWindowRect") || !Get(hwnd)) return std::nullopt;
  return Get(hwnd)->window;
}

std::optional<Rect> FakeWindowSystem::GetClientRect(Hwnd hwnd) {
  if (!calls_.Enter("Windows.GetClientRect") || !Get(hwnd)) return std::nullopt;
  const Rect& client = Get(hwnd)->client;
  return Rect{0, 0, client.Width(), client.Height()};
}

std::optional<Point> FakeWindowSystem::ScreenToClient(Hwnd hwnd, Point point) {
  if (!calls_.Enter("Windows.ScreenToClient") || !Get(hwnd)) return std::nullopt;
  const Rect& client = Get(hwnd)->client;
  return Point{point.x - client.left, point.y - client.top};
}

bool FakeWindowSystem::IsWindowVisible(Hwnd hwnd) {
  return calls_.Enter("Windows.IsWindowVisible") && Shown(hwnd);
}

}  // namespace vestrano::fake
