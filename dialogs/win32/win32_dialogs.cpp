// The dialog windows. DialogBoxIndirectParam runs the modal loop (with the dialog manager's
// keyboard handling); the controls are made in WM_INITDIALOG, where the dialog also takes its
// size and place, centred over its owner and kept on the owner's screen. Every message handler
// is guarded: nothing thrown may unwind into the dialog manager.
#include "dialogs/win32/win32_dialogs.h"

#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "base/twips.h"
#include "dialogs/win32/dialog_layout.h"
#include "dialogs/win32/dialog_previews.h"
#include "host/diagnostics.h"
#include "host/win32/wide_text.h"
#include "tabctl/win32/gdi_handles.h"

namespace vestrano::win32 {
namespace {

using host::DialogControl;

constexpr int kFontPoints = 9;
constexpr int kEmphasisPoints = 12;
constexpr COLORREF kLinkColor = RGB(0, 0, 255);
// The dialog's font, by its Chinese and its English family name.
constexpr const wchar_t* kFontFaces[] = {L"微软雅黑", L"Microsoft YaHei"};

int ScreenDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

int CALLBACK FoundFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool HasFace(const wchar_t* face) {
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  wcsncpy(query.lfFaceName, face, LF_FACESIZE - 1);
  bool found = false;
  const HDC screen = GetDC(nullptr);
  if (!screen) return false;
  EnumFontFamiliesExW(screen, &query, FoundFace, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found;
}

// "微软雅黑" at `points`, or the system's message font (the one its own dialogs use) at its own
// size when Windows lacks it.
HFONT MakeFont(int dpi, int points, bool bold) {
  LOGFONTW face{};
  const wchar_t* const* chosen =
      std::find_if(std::begin(kFontFaces), std::end(kFontFaces), HasFace);
  if (chosen != std::end(kFontFaces)) {
    face.lfHeight = -MulDiv(points, dpi, 72);
    face.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(face.lfFaceName, *chosen, LF_FACESIZE - 1);
  } else {
    // The size of NONCLIENTMETRICSW that Windows XP knows (Vista added a field at the end).
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
      face = metrics.lfMessageFont;
      if (points != kFontPoints) face.lfHeight = face.lfHeight * points / kFontPoints;
    } else {
      GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(face), &face);
    }
  }
  face.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  face.lfQuality = DEFAULT_QUALITY;
  return CreateFontIndirectW(&face);
}

// One open dialog: what the logic sees of it, and what its window procedure needs.
class Win32Dialog final : public host::IDialog {
 public:
  Win32Dialog(host::DialogKind kind, host::IDialogEvents& events)
      : spec_(SpecFor(kind)), events_(events), dpi_(ScreenDpi()) {}

  std::optional<bool> Checked(DialogControl control) override {
    const HWND item = Item(control);
    if (!item) return std::nullopt;
    return SendMessageW(item, BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  bool SetChecked(DialogControl control, bool checked) override {
    const HWND item = Item(control);
    if (!item) return false;
    SendMessageW(item, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    return true;
  }
  bool SetEnabled(DialogControl control, bool enabled) override {
    const HWND item = Item(control);
    if (!item) return false;
    EnableWindow(item, enabled);
    return true;
  }
  bool SetPicture(DialogControl control, int picture) override {
    const HWND item = Item(control);
    if (!item || (control != DialogControl::Picture1 && control != DialogControl::Picture3)) {
      return false;
    }
    (control == DialogControl::Picture1 ? picture1_ : picture3_) = picture;
    InvalidateRect(item, nullptr, TRUE);
    return true;
  }
  bool Unload() override {
    if (!hwnd_) return false;
    return EndDialog(hwnd_, IDOK) != FALSE;
  }

  static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) noexcept;

 private:
  HWND Item(DialogControl control) const {
    const int id = ControlId(control);
    return hwnd_ && id ? GetDlgItem(hwnd_, id) : nullptr;
  }
  int Pixels(int twips) const { return TwipsToPixels(twips, dpi_); }
  BOOL OnInitDialog(HWND hwnd);
  void MakeControls();
  void PlaceOverOwner();
  void OnCommand(int id, int code);
  bool OnDrawItem(const DRAWITEMSTRUCT& item);

  const DialogSpec& spec_;
  host::IDialogEvents& events_;
  const int dpi_;
  HWND hwnd_ = nullptr;
  tabctl::UniqueFont font_;
  tabctl::UniqueFont emphasis_font_;
  tabctl::UniqueFont link_font_;
  int picture1_ = 0;
  int picture3_ = 0;
  bool loaded_ = false;
};

void Win32Dialog::MakeControls() {
  font_.Reset(MakeFont(dpi_, kFontPoints, false));
  emphasis_font_.Reset(MakeFont(dpi_, kEmphasisPoints, true));
  LOGFONTW link{};
  if (font_ && GetObjectW(font_.Get(), sizeof(link), &link)) {
    link.lfUnderline = TRUE;
    link_font_.Reset(CreateFontIndirectW(&link));
  }
  for (const ControlSpec& item : spec_.controls) {
    DWORD style = WS_CHILD | WS_VISIBLE;
    const wchar_t* window_class = L"BUTTON";
    switch (item.kind) {
      case ControlKind::kFrame:
        style |= BS_GROUPBOX;
        break;
      case ControlKind::kOption:
        style |= BS_AUTORADIOBUTTON | (item.group_start ? WS_GROUP | WS_TABSTOP : 0);
        break;
      case ControlKind::kCheckBox:
        style |= BS_AUTOCHECKBOX | WS_TABSTOP;
        break;
      case ControlKind::kPicture:
        window_class = L"STATIC";
        style |= SS_OWNERDRAW;
        break;
      case ControlKind::kLabel:
        window_class = L"STATIC";
        style |= SS_LEFT | SS_NOPREFIX;
        break;
      case ControlKind::kLink:
        style |= BS_OWNERDRAW | WS_TABSTOP;
        break;
      case ControlKind::kLine:
        window_class = L"STATIC";
        style |= SS_ETCHEDHORZ;
        break;
      case ControlKind::kButton:
        style |= BS_DEFPUSHBUTTON | WS_TABSTOP;
        break;
    }
    if (item.group_start) style |= WS_GROUP;
    const int left = Pixels(item.left);
    const int top = Pixels(item.top);
    const HWND control = CreateWindowExW(
        0, window_class, item.text, style, left, top, Pixels(item.left + item.width) - left,
        Pixels(item.top + item.height) - top, hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(item.id)), nullptr, nullptr);
    const HFONT font =
        item.emphasis && item.kind == ControlKind::kLabel ? emphasis_font_.Get() : font_.Get();
    if (control && font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
}

// Centred over the owner, and moved onto the owner's screen when it would stick out of it.
void Win32Dialog::PlaceOverOwner() {
  RECT frame{0, 0, Pixels(spec_.client_width), Pixels(spec_.client_height)};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const HWND owner = GetWindow(hwnd_, GW_OWNER);
  RECT over{};
  if (!owner || !GetWindowRect(owner, &over)) {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &over, 0);
  }
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  RECT work = over;
  if (GetMonitorInfoW(MonitorFromRect(&over, MONITOR_DEFAULTTONEAREST), &monitor)) {
    work = monitor.rcWork;
  }
  int x = over.left + ((over.right - over.left) - width) / 2;
  int y = over.top + ((over.bottom - over.top) - height) / 2;
  x = std::max<int>(work.left, std::min<int>(x, work.right - width));
  y = std::max<int>(work.top, std::min<int>(y, work.bottom - height));
  SetWindowPos(hwnd_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL Win32Dialog::OnInitDialog(HWND hwnd) {
  hwnd_ = hwnd;
  SetWindowTextW(hwnd_, spec_.title);
  MakeControls();
  PlaceOverOwner();
  loaded_ = events_.Form_Load(*this);
  if (!loaded_) {
    EndDialog(hwnd_, -1);
    return FALSE;
  }
  // The options dialog starts on its first control (the checked style); the about box, which
  // has nothing to choose, on OK rather than on the link.
  if (!GetDlgItem(hwnd_, kIdOption1)) {
    SetFocus(GetDlgItem(hwnd_, IDOK));
    return FALSE;
  }
  return TRUE;
}

void Win32Dialog::OnCommand(int id, int code) {
  if (id == IDCANCEL) {
    // Esc and the close box: closed, nothing stored.
    EndDialog(hwnd_, IDCANCEL);
    return;
  }
  if (code != BN_CLICKED) return;
  struct Clicked {
    int id;
    DialogControl control;
  };
  static constexpr Clicked kClicks[] = {
      {kIdOption1, DialogControl::Option1}, {kIdOption2, DialogControl::Option2},
      {kIdOption5, DialogControl::Option5}, {kIdOption3, DialogControl::Option3},
      {kIdOption4, DialogControl::Option4}, {kIdCheck1, DialogControl::Check1},
      {IDOK, DialogControl::cmdOK},         {kIdLabelblog, DialogControl::Labelblog},
  };
  for (const Clicked& click : kClicks) {
    // Only controls this dialog has: the about box has OK and the link.
    if (click.id == id && GetDlgItem(hwnd_, id)) events_.Click(*this, click.control);
  }
}

bool Win32Dialog::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.CtlID == kIdPicture1 || item.CtlID == kIdPicture3) {
    DrawPreview(item.hDC, item.rcItem, item.CtlID == kIdPicture1 ? picture1_ : picture3_, dpi_);
    return true;
  }
  if (item.CtlID != kIdLabelblog) return false;
  wchar_t text[256] = {};
  GetWindowTextW(item.hwndItem, text, static_cast<int>(std::size(text)));
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  RECT area = item.rcItem;
  const tabctl::SelectedObject font(item.hDC, link_font_ ? link_font_.Get() : font_.Get());
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, kLinkColor);
  DrawTextW(item.hDC, text, -1, &area, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  if (item.itemState & ODS_FOCUS) {
    RECT measured = item.rcItem;
    DrawTextW(item.hDC, text, -1, &measured, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    measured.bottom = item.rcItem.bottom;
    measured.top = item.rcItem.top;
    DrawFocusRect(item.hDC, &measured);
  }
  return true;
}

INT_PTR CALLBACK Win32Dialog::Procedure(HWND hwnd, UINT message, WPARAM wparam,
                                        LPARAM lparam) noexcept {
  try {
    if (message == WM_INITDIALOG) {
      auto* dialog = reinterpret_cast<Win32Dialog*>(lparam);
      SetWindowLongPtrW(hwnd, DWLP_USER, lparam);
      return dialog->OnInitDialog(hwnd);
    }
    auto* dialog = reinterpret_cast<Win32Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!dialog) return FALSE;
    switch (message) {
      case WM_COMMAND:
        dialog->OnCommand(LOWORD(wparam), HIWORD(wparam));
        return TRUE;
      case WM_DRAWITEM:
        return dialog->OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
      case WM_SETCURSOR:
        // The link shows the hand that links show.
        if (reinterpret_cast<HWND>(wparam) == GetDlgItem(hwnd, kIdLabelblog)) {
          SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
          SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, TRUE);
          return TRUE;
        }
        return FALSE;
      default:
        return FALSE;
    }
  } catch (...) {
    host::ReportCaughtException("the dialog's window procedure");
    return FALSE;
  }
}

// An empty dialog template: the title and the controls come in WM_INITDIALOG, once the
// screen's resolution is known. DS_MODALFRAME with a system menu gives the close box and no
// icon; DS_SETFONT is left out, the controls get their font one by one.
std::vector<DWORD> EmptyTemplate() {
  std::vector<DWORD> storage(16, 0);
  auto* dialog = reinterpret_cast<DLGTEMPLATE*>(storage.data());
  dialog->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK;
  dialog->dwExtendedStyle = WS_EX_DLGMODALFRAME;
  // After the header: no menu, the default class, an empty title (three zero words).
  return storage;
}

}  // namespace

bool Win32Dialogs::ShowModal(host::DialogKind kind, Hwnd owner,
                             std::shared_ptr<host::IDialogEvents> events) {
  if (!events) return false;
  Win32Dialog dialog(kind, *events);
  const std::vector<DWORD> layout = EmptyTemplate();
  const INT_PTR result =
      DialogBoxIndirectParamW(module_, reinterpret_cast<const DLGTEMPLATE*>(layout.data()),
                              reinterpret_cast<HWND>(owner.value), Win32Dialog::Procedure,
                              reinterpret_cast<LPARAM>(&dialog));
  return result != -1 && result != 0;
}

bool Win32Dialogs::OpenWebPage(std::string_view url) {
  const std::wstring address = Utf8ToWide(url);
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  // ShellExecute's success is any value above 32.
  return result > 32;
}

}  // namespace vestrano::win32
