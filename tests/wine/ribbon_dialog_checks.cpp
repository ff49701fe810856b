// The dialogs are modal: the test acts on them from a thread timer, which the dialog's own
// message loop runs, as a user's clicks and keys would arrive while the ribbon's callback waits.
#include "tests/wine/ribbon_dialog_checks.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "host/win32/com_ptr.h"
#include "host/win32/variant.h"
#include "tests/wine/com_checks.h"
#include "tests/wine/fake_dispatch.h"

namespace wine_test {
namespace {

using vestrano::win32::ComPtr;
using vestrano::win32::UniqueBstr;

constexpr wchar_t kSettingsKey[] = L"SOFTWARE\\Microsoft\\Shared Tools\\Vestrano";
constexpr wchar_t kOptionsTitle[] = L"Vestrano\u9009\u9879";  // Vestrano选项
constexpr wchar_t kAboutTitle[] = L"\u5173\u4e8eVestrano";    // 关于Vestrano
// The dialogs' control ids (dialogs/win32/dialog_layout.h).
constexpr int kOption1 = 1001;
constexpr int kOption3 = 1003;
constexpr int kOption4 = 1004;
constexpr int kOption5 = 1005;
constexpr int kCheck1 = 1006;

std::optional<DWORD> ReadSetting(const wchar_t* name) {
  DWORD value = 0;
  DWORD size = sizeof(value);
  if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_DWORD, nullptr, &value,
                   &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return value;
}

void SetSetting(const wchar_t* name, DWORD value) {
  RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name, REG_DWORD, &value, sizeof(value));
}

void DeleteSetting(const wchar_t* name) {
  RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name);
}

enum class Close { kOkButton, kEnter, kEscape, kCloseBox };

// What the timer saw of the open dialog.
struct Visit {
  const wchar_t* title = nullptr;
  HWND main = nullptr;
  Close close = Close::kCloseBox;
  std::function<void(HWND)> while_open;
  bool found = false;
  bool owned = false;
  bool owner_disabled = false;
  bool on_screen = false;
  int ticks = 0;
};
Visit* g_visit = nullptr;

void Press(HWND dialog, UINT key) {
  HWND focus = GetFocus();
  if (!focus || (focus != dialog && !IsChild(dialog, focus))) focus = dialog;
  PostMessageW(focus, WM_KEYDOWN, key, 1);
  PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
}

void CALLBACK VisitTimer(HWND, UINT, UINT_PTR id, DWORD) {
  Visit& visit = *g_visit;
  const HWND dialog = FindWindowW(L"#32770", visit.title);
  // The dialog manager shows the dialog once its loop first finds the queue empty.
  if (!dialog || !IsWindowVisible(dialog)) {
    // The dialog never came: stop looking after a few seconds.
    if (++visit.ticks > 100) KillTimer(nullptr, id);
    return;
  }
  KillTimer(nullptr, id);
  visit.found = true;
  visit.owned = GetWindow(dialog, GW_OWNER) == visit.main;
  visit.owner_disabled = !IsWindowEnabled(visit.main);
  RECT frame{};
  GetWindowRect(dialog, &frame);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor);
  RECT ok{};
  GetWindowRect(GetDlgItem(dialog, IDOK), &ok);
  visit.on_screen = frame.left >= monitor.rcWork.left && frame.top >= monitor.rcWork.top &&
                    frame.right <= monitor.rcWork.right && frame.bottom <= monitor.rcWork.bottom &&
                    ok.bottom <= frame.bottom && ok.right <= frame.right;
  if (visit.while_open) visit.while_open(dialog);
  switch (visit.close) {
    case Close::kOkButton:
      SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
      break;
    case Close::kEnter:
      Press(dialog, VK_RETURN);
      break;
    case Close::kEscape:
      Press(dialog, VK_ESCAPE);
      break;
    case Close::kCloseBox:
      PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
  }
}

// Runs `open` (which shows the dialog modally and returns when it closed) with the timer set.
HRESULT Visiting(Visit& visit, const std::function<HRESULT()>& open) {
  g_visit = &visit;
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, VisitTimer);
  const HRESULT hr = open();
  KillTimer(nullptr, timer);
  g_visit = nullptr;
  return hr;
}

HRESULT CallMember(IDTExtensibility2* addin, const wchar_t* name,
                   std::initializer_list<VARIANT> args, VARIANT* result = nullptr) {
  auto dispatch = ComPtr<IDTExtensibility2>(addin).As<IDispatch>();
  if (!dispatch) return E_NOINTERFACE;
  return CallByDispid(dispatch.Get(), IdOfName(dispatch.Get(), name), DISPATCH_METHOD, args,
                      result);
}

void Connect(IDTExtensibility2* addin, FakeApplication* excel) {
  SAFEARRAY* custom = nullptr;
  addin->OnConnection(excel, kConnectAfterStartup, nullptr, &custom);
  PumpMessages(200);
}

void Disconnect(IDTExtensibility2* addin) {
  SAFEARRAY* custom = nullptr;
  addin->OnDisconnection(kDisconnectUserClosed, &custom);
  PumpMessages(100);
}

int StripRows(const ExcelWindows& windows) {
  const RECT window = windows.DeskWindowRect();
  const RECT client = windows.DeskClientRect();
  return (window.bottom - window.top) - (client.bottom - client.top);
}

// The workbook area's client top on the screen: its window top when the strip is below.
LONG ClientTop(const ExcelWindows& windows) {
  POINT origin{0, 0};
  ClientToScreen(windows.Desk(), &origin);
  return origin.y;
}

void Click(HWND dialog, int id) {
  SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

bool Checked(HWND dialog, int id) {
  return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace

void CheckRibbon(Checks& checks, IDTExtensibility2* addin, ExcelWindows& windows,
                 FakeApplication* excel) {
  DeleteSetting(L"TabShow");
  Connect(addin, excel);
  auto ribbon = ComPtr<IDTExtensibility2>(addin).As<IRibbonExtensibility>();
  UniqueBstr custom_ui;
  std::wstring id = L"Microsoft.Excel.Workbook";
  const HRESULT got = ribbon ? ribbon->GetCustomUI(id.data(), custom_ui.Put()) : E_NOINTERFACE;
  VARIANT by_name;
  VariantInit(&by_name);
  const HRESULT named = CallMember(addin, L"GetRibbonXML", {}, &by_name);
  const std::wstring markup(custom_ui.View());
  const bool same = SUCCEEDED(got) && SUCCEEDED(named) && by_name.vt == VT_BSTR &&
                    markup == std::wstring(by_name.bstrVal, SysStringLen(by_name.bstrVal));
  VariantClear(&by_name);
  checks.Check(
      same &&
          markup.starts_with(L"<customUI xmlns=\"http://schemas.microsoft.com/office/2006/01/"
                             L"customui\" loadImage=\"loadImage\"") &&
          markup.find(L"> <") == std::wstring::npos &&
          markup.find(L"id=\"VestranoOpTion\"") != std::wstring::npos,
      "GetCustomUI and GetRibbonXML give the same Excel 2007 markup",
      Format("%zu characters", markup.size()));

  // loadImage: "get101" by value or by reference is the 32 by 32 icon; any other case, nothing.
  const auto image = [&](VARIANT arg) {
    VARIANT result;
    VariantInit(&result);
    CallMember(addin, L"loadImage", {arg}, &result);
    ComPtr<IDispatch> picture;
    if (result.vt == VT_DISPATCH) picture = ComPtr<IDispatch>(result.pdispVal);
    VariantClear(&result);
    return picture;
  };
  UniqueBstr get101(L"get101");
  UniqueBstr upper(L"GET101");
  VARIANT by_value;
  by_value.vt = VT_BSTR;
  by_value.bstrVal = get101.Get();
  BSTR held = get101.Get();
  VARIANT by_ref;
  by_ref.vt = VT_BSTR | VT_BYREF;
  by_ref.pbstrVal = &held;
  VARIANT other;
  other.vt = VT_BSTR;
  other.bstrVal = upper.Get();
  for (const VARIANT& arg : {by_value, by_ref}) {
    auto picture = image(arg);
    auto as_picture = picture.As<IPicture>();
    short type = 0;
    OLE_HANDLE handle = 0;
    BITMAP bitmap{};
    if (as_picture && SUCCEEDED(as_picture->get_Type(&type)) &&
        SUCCEEDED(as_picture->get_Handle(&handle))) {
      ICONINFO info{};
      if (GetIconInfo(reinterpret_cast<HICON>(static_cast<UINT_PTR>(handle)), &info)) {
        GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        if (info.hbmMask) DeleteObject(info.hbmMask);
      }
    }
    checks.Check(type == PICTYPE_ICON && bitmap.bmWidth == 32 && bitmap.bmHeight == 32,
                 arg.vt == VT_BSTR ? "loadImage(\"get101\") gives a 32 by 32 icon picture"
                                   : "and so does \"get101\" passed by reference",
                 Format("type %d, %ldx%ld", type, bitmap.bmWidth, bitmap.bmHeight));
  }
  checks.Check(!image(other), "loadImage(\"GET101\") gives nothing");

  // The check box: checked while the bar shows; cleared and checked again, with the pressed
  // state by reference and as a number.
  auto control = NewNamedObject(L"RibbonControl");
  VARIANT pressed;
  VariantInit(&pressed);
  CallMember(addin, L"GetPressed", {ObjectArg(control.Get())}, &pressed);
  checks.Check(pressed.vt == VT_BOOL && pressed.boolVal == VARIANT_TRUE,
               "GetPressed answers True while the bar is shown");
  VARIANT_BOOL cleared = VARIANT_FALSE;
  VARIANT off;
  off.vt = VT_BOOL | VT_BYREF;
  off.pboolVal = &cleared;
  const HRESULT hid = CallMember(addin, L"OnAction", {ObjectArg(control.Get()), off});
  PumpMessages(100);
  checks.Check(
      SUCCEEDED(hid) && StripRows(windows) == 0 && ReadSetting(L"TabShow") == 1u,
      "OnAction with pressed False (by reference) stores TabShow 1 and takes the strip away");
  const HRESULT shown = CallMember(addin, L"OnAction", {ObjectArg(control.Get()), IntArg(1)});
  PumpMessages(100);
  checks.Check(SUCCEEDED(shown) && StripRows(windows) > 0 && ReadSetting(L"TabShow") == 0u,
               "OnAction with pressed 1 (a number) stores TabShow 0 and puts the strip back");
  Disconnect(addin);
}

void CheckDialogs(Checks& checks, IDTExtensibility2* addin, ExcelWindows& windows,
                  FakeApplication* excel) {
  DeleteSetting(L"Theme");
  DeleteSetting(L"Position");
  Connect(addin, excel);
  auto control = NewNamedObject(L"RibbonControl");
  struct Case {
    bool options;
    Close close;
    const char* how;
  };
  constexpr Case kCases[] = {
      {true, Close::kEnter, "Enter (OK)"},
      {true, Close::kEscape, "Esc"},
      {true, Close::kCloseBox, "its close box"},
      {false, Close::kOkButton, "OK"},
      {false, Close::kEscape, "Esc"},
      {false, Close::kCloseBox, "its close box"},
  };
  for (const Case& c : kCases) {
    Visit visit;
    visit.title = c.options ? kOptionsTitle : kAboutTitle;
    visit.main = windows.Main();
    visit.close = c.close;
    bool opened_on_stored = true;
    if (c.options) {
      // The first time: style 2, below, taskbar off; later: other choices, never stored.
      const bool first = c.close == Close::kEnter;
      visit.while_open = [&, first](HWND dialog) {
        if (!first) {
          opened_on_stored =
              Checked(dialog, kOption5) && Checked(dialog, kOption4) && !Checked(dialog, kCheck1);
        }
        Click(dialog, first ? kOption5 : kOption1);
        Click(dialog, first ? kOption4 : kOption3);
        Click(dialog, kCheck1);
      };
    }
    const HRESULT hr = Visiting(visit, [&] {
      return CallMember(addin, c.options ? L"OptionMenu" : L"AboutMenu",
                        {ObjectArg(control.Get())});
    });
    const char* name = c.options ? "the options dialog" : "the about box";
    checks.Check(
        SUCCEEDED(hr) && visit.found && visit.owned && visit.owner_disabled,
        Format("%s opens modally over Excel's window, owned by it", name),
        Format("hr 0x%08lx, found %d, owned %d, Excel disabled %d", static_cast<unsigned long>(hr),
               visit.found, visit.owned, visit.owner_disabled));
    checks.Check(!FindWindowW(L"#32770", visit.title) && IsWindowEnabled(windows.Main()),
                 Format("%s closes with %s and gives Excel its window back", name, c.how));
    if (c.options && c.close == Close::kEnter) {
      checks.Check(ReadSetting(L"Theme") == 2u && ReadSetting(L"Position") == 1u &&
                       !excel->ShowsWindowsInTaskbar() && StripRows(windows) > 0 &&
                       ClientTop(windows) == windows.DeskWindowRect().top,
                   "OK stores Theme 2 and Position 1, sets ShowWindowsInTaskbar and moves the "
                   "strip below");
    } else if (c.options) {
      checks.Check(opened_on_stored && ReadSetting(L"Theme") == 2u &&
                       ReadSetting(L"Position") == 1u && !excel->ShowsWindowsInTaskbar(),
                   Format("it reopens on the stored choices, and %s stores nothing", c.how));
    }
  }

  // The menu's "Vestrano选项(&O)" opens the same dialog.
  FakeCommandBars* bars = excel->CommandBars();
  FakeBar* tab_bar = bars ? bars->Bar(L"TabBar") : nullptr;
  if (tab_bar && !tab_bar->Buttons().empty()) {
    Visit visit;
    visit.title = kOptionsTitle;
    visit.main = windows.Main();
    visit.close = Close::kCloseBox;
    Visiting(visit, [&] {
      bool cancel = false;
      bars->Click(tab_bar->Buttons().back().Get(), &cancel);
      return S_OK;
    });
    checks.Check(visit.found && visit.owned && visit.owner_disabled,
                 "the menu's Option item opens the same dialog, modal and owned by Excel");
  }
  Disconnect(addin);
  // Back to the defaults: a setting missing at the next connection would leave these as they are.
  SetSetting(L"Theme", 0);
  SetSetting(L"Position", 0);
}

void CheckDialogFits(Checks& checks, IDTExtensibility2* addin, ExcelWindows& windows,
                     FakeApplication* excel) {
  Connect(addin, excel);
  Visit visit;
  visit.title = kOptionsTitle;
  visit.main = windows.Main();
  auto control = NewNamedObject(L"RibbonControl");
  Visiting(visit, [&] { return CallMember(addin, L"OptionMenu", {ObjectArg(control.Get())}); });
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  checks.Check(visit.found && visit.on_screen,
               Format("at %d DPI the options dialog fits on the screen, OK included", dpi));
  Disconnect(addin);
}

void WhileDialogOpen(IDTExtensibility2* addin, HWND main, bool options,
                     const std::function<void(HWND)>& shoot) {
  Visit visit;
  visit.title = options ? kOptionsTitle : kAboutTitle;
  visit.main = main;
  visit.while_open = shoot;
  auto control = NewNamedObject(L"RibbonControl");
  Visiting(visit, [&] {
    return CallMember(addin, options ? L"OptionMenu" : L"AboutMenu", {ObjectArg(control.Get())});
  });
}

}  // namespace wine_test
