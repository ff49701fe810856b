// The popup's window. Rows are laid out once, when it opens, as Office lays out a popup; their
// enabled and checked state is read afresh at every paint.
#include "xlsim/win32/popup_menu.h"

#include <algorithm>

#include "xlsim/win32/excel.h"
#include "xlsim/win32/text.h"

namespace vestrano::xlsim::win32 {
namespace {

constexpr wchar_t kPopupClass[] = L"MsoCommandBarPopup";
constexpr int kRowHeight = 22;
constexpr int kSeparator = 7;
constexpr int kWidth = 220;
constexpr int kIconColumn = 26;

void RegisterPopupClass(WNDPROC proc) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DROPSHADOW;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.lpszClassName = kPopupClass;
  RegisterClassExW(&wc);
}

void Fill(HDC dc, const RECT& rect, COLORREF color) {
  SetDCBrushColor(dc, color);
  FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

}  // namespace

PopupMenu::PopupMenu(Excel& excel, const BarRef& bar, POINT at) : excel_(excel), name_(bar->name) {
  RegisterPopupClass(Procedure);
  int y = 2;
  for (const auto& control : CommandBarModel::ControlsOf(bar->body)) {
    if (!control->visible) continue;
    if (control->begin_group && !rows_.empty()) y += kSeparator;
    rows_.push_back(control);
    tops_.push_back(y);
    y += kRowHeight;
  }
  height_ = y + 2;
  // Office keeps a popup on the screen: it opens up or left of the point when it must.
  const int screen_w = GetSystemMetrics(SM_CXSCREEN);
  const int screen_h = GetSystemMetrics(SM_CYSCREEN);
  const LONG x = at.x + kWidth <= screen_w ? at.x : std::max<LONG>(0, at.x - kWidth);
  const LONG top = at.y + height_ <= screen_h ? at.y : std::max<LONG>(0, at.y - height_);
  hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kPopupClass,
                          Wide(name_).c_str(), WS_POPUP | WS_BORDER, x, top, kWidth, height_,
                          excel.Windows().Main(), nullptr, GetModuleHandleW(nullptr), this);
  if (hwnd_) {
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    UpdateWindow(hwnd_);
  }
}

PopupMenu::~PopupMenu() {
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

ControlRef PopupMenu::Find(std::string_view parameter) const {
  for (const auto& control : rows_) {
    if (control->alive && control->parameter == parameter) return control;
  }
  return nullptr;
}

std::optional<RECT> PopupMenu::ScreenRectOf(const ControlRef& control) const {
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i] != control) continue;
    RECT rect{0, tops_[i], kWidth - 2, tops_[i] + kRowHeight};
    MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }
  return std::nullopt;
}

ControlRef PopupMenu::RowAt(int y) const {
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (y >= tops_[i] && y < tops_[i] + kRowHeight) return rows_[i];
  }
  return nullptr;
}

void PopupMenu::Paint() {
  PAINTSTRUCT ps;
  const HDC dc = BeginPaint(hwnd_, &ps);
  if (!dc) return;
  RECT client{};
  GetClientRect(hwnd_, &client);
  Fill(dc, client, RGB(250, 250, 250));
  Fill(dc, {0, 0, kIconColumn, client.bottom}, RGB(233, 238, 238));
  SetBkMode(dc, TRANSPARENT);
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const Control& control = *rows_[i];
    const int top = tops_[i];
    if (control.begin_group && i > 0) {
      Fill(dc, {kIconColumn + 4, top - 4, client.right - 4, top - 3}, RGB(197, 197, 197));
    }
    if (!control.IsPopup() && control.state == kButtonDown) {
      RECT check{4, top + 2, kIconColumn - 4, top + kRowHeight - 2};
      Fill(dc, check, RGB(255, 226, 148));
      DrawTextW(dc, L"\u2713", -1, &check, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    SetTextColor(dc, control.enabled ? RGB(0, 0, 0) : RGB(141, 141, 141));
    RECT text{kIconColumn + 8, top, client.right - 8, top + kRowHeight};
    const std::wstring caption = Wide(control.caption);
    // Office underlines the access key that "&" marks, as menus do.
    DrawTextW(dc, caption.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  }
  EndPaint(hwnd_, &ps);
}

LRESULT CALLBACK PopupMenu::Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<PopupMenu*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wparam, lparam);
  switch (message) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_PAINT:
      if (!self->hwnd_) self->hwnd_ = hwnd;
      self->Paint();
      return 0;
    case WM_LBUTTONUP: {
      const ControlRef row = self->RowAt(static_cast<short>(HIWORD(lparam)));
      if (!row || !row->alive || !row->enabled) return 0;
      // Choosing closes the popup (this object goes) before the click is delivered.
      Excel& excel = self->excel_;
      excel.PopupChosen(row);
      return 0;
    }
    default:
      return DefWindowProcW(hwnd, message, wparam, lparam);
  }
}

}  // namespace vestrano::xlsim::win32
