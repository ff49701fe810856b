// The strip's window procedure and its handlers. Painting goes through a memory bitmap made and
// given back within each WM_PAINT, and the background is never erased on its own, so a rebuild
// or a resize shows no flicker.
#include "tabctl/win32/tab_strip_window.h"

#include <windowsx.h>

#include <algorithm>

#include "base/twips.h"
#include "host/diagnostics.h"
#include "tabctl/win32/tab_accessible.h"
#include "tabctl/win32/zandrelix_api.h"

namespace vestrano::tabctl {
namespace {

constexpr wchar_t kClassName[] = L"ZandrelixTabStrip";
constexpr wchar_t kFontFace[] = L"Tahoma";
constexpr int kFontPoints = 8;
constexpr int kMaxFontPixels = 16;

// How many strips exist: the class goes with the last one, so that the module can unload.
int g_windows = 0;
ATOM g_class = 0;

bool EnsureClass(HINSTANCE module) {
  if (g_class) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = TabStripWindow::Procedure;
  wc.hInstance = module;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.lpszClassName = kClassName;
  g_class = RegisterClassExW(&wc);
  return g_class != 0;
}

int ScreenDpi() {
  const HDC screen = GetDC(nullptr);
  if (!screen) return 96;
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

int VirtualKeyOf(int button) {
  if (button == kLeftButton) return VK_LBUTTON;
  return button == kRightButton ? VK_RBUTTON : VK_MBUTTON;
}

int ShiftState(WPARAM wparam) {
  int shift = 0;
  if (wparam & MK_SHIFT) shift |= 1;
  if (wparam & MK_CONTROL) shift |= 2;
  if (GetKeyState(VK_MENU) < 0) shift |= 4;
  return shift;
}

}  // namespace

TabStripWindow::TabStripWindow(TabStripModel& model, IUnknown* owner, HINSTANCE module)
    : model_(model), owner_(owner), module_(module), dpi_(ScreenDpi()) {}

TabStripWindow::~TabStripWindow() {
  // The owner is being destroyed: its last messages must not take a reference to it.
  owner_ = nullptr;
  if (hwnd_) DestroyWindow(hwnd_);
  // The class goes with the last strip, so that the module can be unloaded.
  if (g_windows == 0 && g_class && UnregisterClassW(kClassName, module_)) g_class = 0;
}

bool TabStripWindow::ClassInUse() {
  return g_class != 0;
}

bool TabStripWindow::Create(HWND parent) {
  if (hwnd_ || !EnsureClass(module_)) return false;
  ++g_windows;
  hwnd_ = CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                          parent, nullptr, module_, this);
  if (!hwnd_) {
    if (--g_windows == 0 && UnregisterClassW(kClassName, module_)) g_class = 0;
    return false;
  }
  MakeFont();
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  tooltip_ = CreateWindowExW(
      WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_NOANIMATE | TTS_NOFADE,
      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, module_, nullptr);
  if (tooltip_) SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, Scaled(600, dpi_));
  return true;
}

int TabStripWindow::IconSize() const {
  // Excel's strip stays 24 pixels high at every resolution, so the icons grow only as far as a
  // tab of that height still holds them.
  return dpi_ <= 108 ? 16 : 20;
}

void TabStripWindow::MakeFont() {
  // Eight points at the screen's resolution, but never taller than a tab of the 24-pixel strip.
  const int height = std::min(MulDiv(kFontPoints, dpi_, 72), kMaxFontPixels);
  LOGFONTW font{};
  font.lfHeight = -height;
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = DEFAULT_QUALITY;
  wcscpy(font.lfFaceName, kFontFace);
  font_.Reset(CreateFontIndirectW(&font));
}

void TabStripWindow::SetImageList(HIMAGELIST images) {
  images_ = images;
  Changed();
}

bool TabStripWindow::Place(double left_twips, double width_twips) {
  left_twips_ = left_twips;
  width_twips_ = width_twips;
  if (!hwnd_) return true;
  RECT client{};
  GetClientRect(GetParent(hwnd_), &client);
  const int left = TwipsToPixels(left_twips, dpi_);
  const int right = TwipsToPixels(left_twips + width_twips, dpi_);
  return SetWindowPos(hwnd_, nullptr, left, 0, std::max(0, right - left), client.bottom,
                      SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
}

void TabStripWindow::Changed() {
  layout_valid_ = false;
  // The row may have changed under the pointer; the next move lights the right tab.
  hot_.reset();
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

bool TabStripWindow::RepaintNow() {
  return hwnd_ && RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

TabMetrics TabStripWindow::Metrics() const {
  // The strip may begin left of its parent's edge: the first tab begins where it is seen.
  const int hidden = std::max(0, -TwipsToPixels(left_twips_, dpi_));
  return MetricsFor(look_, dpi_, hidden + Scaled(3, dpi_), IconSize());
}

std::vector<int> TabStripWindow::CaptionWidths() {
  std::vector<int> widths;
  widths.reserve(model_.Items().size());
  const HDC dc = GetDC(hwnd_);
  if (!dc) return std::vector<int>(model_.Items().size(), 0);
  {
    const SelectedObject font(dc, font_.Get());
    for (const TabItem& item : model_.Items()) {
      SIZE size{};
      GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t*>(item.caption.data()),
                            static_cast<int>(item.caption.size()), &size);
      widths.push_back(size.cx);
    }
  }
  ReleaseDC(hwnd_, dc);
  return widths;
}

const StripLayout& TabStripWindow::Layout() {
  if (layout_valid_ || !hwnd_) return layout_;
  RECT client{};
  GetClientRect(hwnd_, &client);
  const std::vector<int> widths = CaptionWidths();
  const TabMetrics metrics = Metrics();
  int first = model_.First();
  const auto selected = model_.SelectedIndex();
  if (model_.TakeRevealRequest() && selected) {
    first = FirstToReveal(widths, client.right, client.bottom, metrics, first, *selected);
  }
  layout_ = LayoutStrip(widths, client.right, client.bottom, metrics, first);
  model_.SetFirst(layout_.first);
  layout_valid_ = true;
  SyncTooltips();
  return layout_;
}

RECT TabStripWindow::TabScreenRect(int index) {
  const StripLayout& layout = Layout();
  RECT r{};
  if (index < 0 || index >= static_cast<int>(layout.tabs.size())) return r;
  const TabSlot& slot = layout.tabs[static_cast<std::size_t>(index)];
  if (!slot.visible) return r;
  r = {std::max(slot.left, 0), 0, std::min(slot.right, layout.tab_area_right), layout.height};
  MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void TabStripWindow::SyncTooltips() {
  if (!tooltip_) return;
  TOOLINFOW tool{};
  // Where the activation context gives comctl32 5.x (no manifest asks for version 6), a tool of
  // today's full size is refused; the size that 5.x knows serves version 6 just as well.
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = hwnd_;
  for (int id = 0; id < tools_; ++id) {
    tool.uId = static_cast<UINT_PTR>(id);
    SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  tools_ = 0;
  for (std::size_t i = 0; i < layout_.tabs.size(); ++i) {
    const TabSlot& slot = layout_.tabs[i];
    if (!slot.visible) continue;
    tool.uFlags = 0;
    tool.uId = i;
    tool.rect = {std::max(slot.left, 0), 0, std::min(slot.right, layout_.tab_area_right),
                 layout_.height};
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    tools_ = static_cast<int>(i) + 1;
  }
}

void TabStripWindow::OnPaint() {
  PAINTSTRUCT ps;
  const HDC dc = BeginPaint(hwnd_, &ps);
  if (!dc) return;
  RECT client{};
  GetClientRect(hwnd_, &client);
  const StripLayout& layout = Layout();
  // The whole strip is drawn off screen and shown in one copy.
  const UniqueMemoryDc memory(CreateCompatibleDC(dc));
  const UniqueBitmap bitmap(memory ? CreateCompatibleBitmap(dc, std::max<LONG>(client.right, 1),
                                                            std::max<LONG>(client.bottom, 1))
                                   : nullptr);
  if (memory && bitmap) {
    {
      const SelectedObject selected(memory.Get(), bitmap.Get());
      PaintInput input;
      input.layout = &layout;
      input.items = &model_.Items();
      input.selected = model_.SelectedIndex();
      input.hot = hot_;
      input.look = look_;
      input.font = font_.Get();
      input.images = images_;
      input.icon_size = IconSize();
      input.dpi = dpi_;
      input.width = client.right;
      input.height = client.bottom;
      PaintStrip(memory.Get(), input);
      BitBlt(dc, 0, 0, client.right, client.bottom, memory.Get(), 0, 0, SRCCOPY);
    }
  }
  EndPaint(hwnd_, &ps);
}

void TabStripWindow::OnButton(int button, bool down, WPARAM wparam, LPARAM lparam) {
  const int x = GET_X_LPARAM(lparam);
  const int y = GET_Y_LPARAM(lparam);
  const int shift = ShiftState(wparam);
  // The strip holds no capture while its events run: whatever a handler opens (Excel's save
  // prompt after a double-click, the window list of a switch while editing, a popup menu) must
  // get the user's next click, as it does after a push button's BN_CLICKED.
  if (down) {
    model_.PressButton(button, shift, x, y, Layout());
    Changed();
    // A button released while the events ran was released elsewhere, in a dialog's loop; only
    // one still down needs its release routed here.
    if (hwnd_ && GetKeyState(VirtualKeyOf(button)) < 0) SetCapture(hwnd_);
    return;
  }
  if (hwnd_ && GetCapture() == hwnd_) {
    releasing_button_ = button;
    ReleaseCapture();
    releasing_button_ = 0;
  }
  model_.ReleaseButton(button, shift, x, y);
}

UINT TabStripWindow::ItemImageMessage() {
  static const UINT message = RegisterWindowMessageW(kItemImageMessage);
  return message;
}

LRESULT TabStripWindow::ItemImage(WPARAM index) const {
  const auto& items = model_.Items();
  if (index >= items.size()) return -1;
  return items[index].image;
}

LRESULT TabStripWindow::OnGetObject(WPARAM wparam, LPARAM lparam) {
  if (static_cast<LONG>(lparam) != static_cast<LONG>(OBJID_CLIENT)) {
    return DefWindowProcW(hwnd_, WM_GETOBJECT, wparam, lparam);
  }
  if (!accessible_) accessible_ = TabAccessible::Create(this, &model_, owner_);
  if (!accessible_) return 0;
  // Wine's AccessibleObjectFromWindow asks with 0xFFFFFFFF, which its own LresultFromObject
  // refuses, and reads the answer back as if 0 had been asked; Windows never sends that value.
  if (static_cast<DWORD>(wparam) == 0xFFFFFFFFu) wparam = 0;
  // __uuidof, not IID_IAccessible: the 64-bit liboleacc.a resolves that name to an import thunk.
  return LresultFromObject(__uuidof(IAccessible), wparam, accessible_.Get());
}

void TabStripWindow::TrackHot(std::optional<int> hot) {
  if (hot && !tracking_leave_) {
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd_, 0};
    tracking_leave_ = TrackMouseEvent(&track) != FALSE;
  }
  if (hot == hot_) return;
  hot_ = hot;
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void TabStripWindow::OnDestroy() {
  if (tooltip_) DestroyWindow(tooltip_);
  tooltip_ = nullptr;
  tools_ = 0;
  if (accessible_) accessible_->Disconnect();
  accessible_.Reset();
  --g_windows;
}

LRESULT TabStripWindow::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      Changed();
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      OnButton(kLeftButton, message == WM_LBUTTONDOWN, wparam, lparam);
      return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      OnButton(kRightButton, message == WM_RBUTTONDOWN, wparam, lparam);
      return 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      OnButton(kMiddleButton, message == WM_MBUTTONDOWN, wparam, lparam);
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lparam) != hwnd_) model_.CancelButtons(releasing_button_);
      return 0;
    case WM_MOUSEMOVE: {
      if (tooltip_) {
        MSG relayed{hwnd_, message, wparam, lparam, static_cast<DWORD>(GetMessageTime()), {}};
        SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
      }
      const Hit hit = HitTestStrip(Layout(), GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam),
                                   model_.SelectedIndex());
      TrackHot(hit.kind == HitKind::kTab ? std::optional(hit.index) : std::nullopt);
      return 0;
    }
    case WM_MOUSELEAVE:
      tracking_leave_ = false;
      TrackHot(std::nullopt);
      return 0;
    case WM_MOUSEWHEEL:
      model_.ScrollBy(GET_WHEEL_DELTA_WPARAM(wparam) > 0 ? -1 : 1, Layout());
      Changed();
      return 0;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lparam);
      if (header && header->hwndFrom == tooltip_ && header->code == TTN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(lparam);
        const auto index = static_cast<std::size_t>(header->idFrom);
        tooltip_text_.clear();
        if (index < model_.Items().size()) {
          const auto& tip = model_.Items()[index].tooltip;
          tooltip_text_.assign(tip.begin(), tip.end());
        }
        info->lpszText = tooltip_text_.data();
        return 0;
      }
      break;
    }
    case WM_GETOBJECT:
      return OnGetObject(wparam, lparam);
    case WM_DESTROY:
      OnDestroy();
      return 0;
    default:
      if (message != 0 && message == ItemImageMessage()) return ItemImage(wparam);
      break;
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

LRESULT CALLBACK TabStripWindow::Procedure(HWND hwnd, UINT message, WPARAM wparam,
                                           LPARAM lparam) noexcept {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<TabStripWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
  if (!self->hwnd_) self->hwnd_ = hwnd;
  // An event handler may release the strip; it must outlive this message.
  const vestrano::win32::ComPtr<IUnknown> keep(self->owner_);
  try {
    return self->OnMessage(message, wparam, lparam);
  } catch (...) {
    host::ReportCaughtException("the tab strip's window procedure");
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
}

}  // namespace vestrano::tabctl
