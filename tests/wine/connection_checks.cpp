// Connection checks, read from the windows themselves: the strip is what XLDESK's client
// rectangle lost, the tab bar is the form window the add-in created in Excel's main window.
#include "tests/wine/connection_checks.h"

#include "tests/wine/com_checks.h"
#include "tests/wine/fake_dispatch.h"

namespace wine_test {
namespace {

constexpr int kStripHeight = 24;
constexpr int kBarHeight = 25;
constexpr int kBarInset = 2;

std::string Describe(const RECT& r) {
  return Format("(%ld,%ld)-(%ld,%ld)", r.left, r.top, r.right, r.bottom);
}

HWND FindForm(HWND main) {
  return FindWindowExW(main, nullptr, L"ThunderRT6FormDC", L"Vestrano");
}

// The shortfall of XLDESK's client height against its window height.
int StripRows(const ExcelWindows& windows) {
  const RECT window = windows.DeskWindowRect();
  const RECT client = windows.DeskClientRect();
  return (window.bottom - window.top) - (client.bottom - client.top);
}

// An empty SAFEARRAY of VARIANT, as Office passes for `custom`.
class CustomArray {
 public:
  CustomArray() : array_(SafeArrayCreateVector(VT_VARIANT, 0, 0)) {}
  ~CustomArray() { SafeArrayDestroy(array_); }
  SAFEARRAY** Get() { return &array_; }
  VARIANT ByRef() {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_ARRAY | VT_VARIANT | VT_BYREF;
    v.pparray = &array_;
    return v;
  }

 private:
  SAFEARRAY* array_;
};

// Where the tab bar form went instead, to tell a form never made from one left elsewhere.
void DescribeStrayForms(Checks& checks) {
  for (HWND form = nullptr;
       (form = FindWindowExW(nullptr, form, L"ThunderRT6FormDC", nullptr)) != nullptr;) {
    wchar_t title[64] = L"";
    GetWindowTextW(form, title, 64);
    checks.Info(Format("a top-level ThunderRT6FormDC \"%s\" exists, %s", Narrow(title).c_str(),
                       IsWindowVisible(form) ? "visible" : "hidden"));
  }
}

void CheckConnected(Checks& checks, const char* how, ExcelWindows& windows,
                    FakeApplication* excel) {
  checks.Check(excel->SinkCount() == 1, Format("%s: Excel's application events are connected", how),
               Format("%zu sinks", excel->SinkCount()));
  checks.Check(windows.CurrentDeskProc() != windows.OriginalDeskProc(),
               Format("%s: XLDESK is subclassed", how));
  const int rows = StripRows(windows);
  checks.Check(
      rows == kStripHeight,
      Format("%s: XLDESK's client area is %d rows shorter than its window", how, kStripHeight),
      Format("%d rows", rows));

  const HWND form = FindForm(windows.Main());
  if (!checks.Check(form != nullptr,
                    Format("%s: a \"ThunderRT6FormDC\" window titled \"Vestrano\" is a child of "
                           "the main window",
                           how))) {
    DescribeStrayForms(checks);
    return;
  }
  checks.Check(IsWindowVisible(form), Format("%s: the tab bar form is visible", how));
  // The form covers the strip and the first client row, inset 2 pixels at either side.
  const RECT desk = windows.DeskWindowRect();
  const RECT expected{desk.left + kBarInset, desk.top, desk.right - kBarInset,
                      desk.top + kBarHeight};
  RECT placed{};
  GetWindowRect(form, &placed);
  checks.Check(EqualRect(&placed, &expected),
               Format("%s: the tab bar form lies over the strip", how),
               "form " + Describe(placed) + ", expected " + Describe(expected));
}

void CheckDisconnected(Checks& checks, const char* how, ExcelWindows& windows,
                       FakeApplication* excel) {
  checks.Check(StripRows(windows) == 0,
               Format("%s: XLDESK's client area is its whole window again", how),
               Format("%d rows short", StripRows(windows)));
  checks.Check(windows.CurrentDeskProc() == windows.OriginalDeskProc(),
               Format("%s: XLDESK's own window procedure is back", how));
  const HWND form = FindForm(windows.Main());
  checks.Check(!form || !IsWindowVisible(form), Format("%s: the tab bar form is gone", how));
  checks.Check(excel->SinkCount() == 0,
               Format("%s: Excel's application events are disconnected", how));
  // The test holds one reference; anything more is the add-in's.
  excel->AddRef();
  const ULONG refs = excel->Release();
  checks.Check(refs == 1, Format("%s: the add-in holds no reference to Excel", how),
               Format("%lu references", static_cast<unsigned long>(refs) - 1));
}

void CheckEvents(Checks& checks, FakeApplication* excel) {
  const HRESULT activated = excel->Fire(kEventWorkbookActivate, {ObjectArg(excel->Workbook())});
  const HRESULT sheet = excel->Fire(kEventSheetActivate, {ObjectArg(excel->Sheet())});
  VARIANT_BOOL cancel = VARIANT_FALSE;
  VARIANT cancel_arg;
  VariantInit(&cancel_arg);
  cancel_arg.vt = VT_BOOL | VT_BYREF;
  cancel_arg.pboolVal = &cancel;
  const HRESULT closing =
      excel->Fire(kEventWorkbookBeforeClose, {ObjectArg(excel->Workbook()), cancel_arg});
  VARIANT save_as;
  VariantInit(&save_as);
  save_as.vt = VT_BOOL;
  save_as.boolVal = VARIANT_FALSE;
  const HRESULT saving =
      excel->Fire(kEventWorkbookBeforeSave, {ObjectArg(excel->Workbook()), save_as, cancel_arg});
  checks.Check(activated == S_OK && sheet == S_OK && closing == S_OK && saving == S_OK,
               "the event sink takes WorkbookActivate, SheetActivate, WorkbookBeforeClose and "
               "WorkbookBeforeSave");
  checks.Check(cancel == VARIANT_FALSE, "the add-in lets Excel close and save (Cancel untouched)");
  PumpMessages(200);
}

void CheckCallingHabits(Checks& checks) {
  std::string repeated;
  for (const auto& [name, count] : Log().resolved) {
    if (count > 1) repeated += Format(" %s x%d", name.c_str(), count);
  }
  checks.Check(repeated.empty(), "each member name is resolved once per kind of object",
               "resolved again:" + repeated);
  checks.Check(Log().invokes > 0 && Log().invokes_without_locale_1033 == 0,
               "every call into Excel passes locale 1033",
               Format("%d of %d without", Log().invokes_without_locale_1033, Log().invokes));
}

}  // namespace

void CheckConnectionCycle(Checks& checks, IDTExtensibility2* addin, ExcelWindows& windows,
                          FakeApplication* excel) {
  CustomArray custom;
  Stopwatch connecting;
  const HRESULT connected = addin->OnConnection(excel, kConnectAfterStartup, nullptr, custom.Get());
  const double connect_ms = connecting.ElapsedMs();
  checks.Info(Format("OnConnection took %.2f ms", connect_ms));
  checks.Check(connected == S_OK, "OnConnection (vtable) answers S_OK",
               Format("hr 0x%08lx", static_cast<unsigned long>(connected)));
  PumpMessages(300);
  CheckConnected(checks, "vtable", windows, excel);
  CheckEvents(checks, excel);
  CheckCallingHabits(checks);
  // Office hands the add-in its ribbon as it loads it.
  auto dispatch = ComPtr<IDTExtensibility2>(addin).As<IDispatch>();
  auto ribbon = NewNamedObject(L"RibbonUI");
  const HRESULT loaded =
      dispatch ? CallByDispid(dispatch.Get(), IdOfName(dispatch.Get(), L"rxcustomUI_onLoad"),
                              DISPATCH_METHOD, {ObjectArg(ribbon.Get())})
               : E_NOINTERFACE;
  checks.Check(SUCCEEDED(loaded) && ribbon->AddRef() == 3 && ribbon->Release() == 2,
               "rxcustomUI_onLoad keeps the ribbon while connected");

  Stopwatch disconnecting;
  const HRESULT disconnected = addin->OnDisconnection(kDisconnectUserClosed, custom.Get());
  const double disconnect_ms = disconnecting.ElapsedMs();
  checks.Info(Format("OnDisconnection took %.2f ms", disconnect_ms));
  checks.Check(disconnected == S_OK, "OnDisconnection (vtable) answers S_OK");
  PumpMessages(200);
  CheckDisconnected(checks, "vtable", windows, excel);
  checks.Check(ribbon->AddRef() == 2 && ribbon->Release() == 1,
               "the add-in lets go of the ribbon at disconnection, while it lives on");
}

void CheckConnectionByInvoke(Checks& checks, IDTExtensibility2* addin, ExcelWindows& windows,
                             FakeApplication* excel) {
  CustomArray custom;
  VARIANT no_instance = ObjectArg(nullptr);
  const HRESULT connected =
      CallByDispid(addin, 1, DISPATCH_METHOD,
                   {ObjectArg(excel), IntArg(kConnectAfterStartup), no_instance, custom.ByRef()});
  checks.Check(connected == S_OK, "OnConnection through Invoke (DISPID 1) answers S_OK",
               Format("hr 0x%08lx", static_cast<unsigned long>(connected)));
  PumpMessages(300);
  CheckConnected(checks, "Invoke", windows, excel);
  const HRESULT disconnected =
      CallByDispid(addin, 2, DISPATCH_METHOD, {IntArg(kDisconnectUserClosed), custom.ByRef()});
  checks.Check(disconnected == S_OK, "OnDisconnection through Invoke (DISPID 2) answers S_OK");
  PumpMessages(200);
  CheckDisconnected(checks, "Invoke", windows, excel);
}

void CheckRefusedEvents(Checks& checks, IDTExtensibility2* addin, ExcelWindows& windows,
                        FakeApplication* excel) {
  CustomArray custom;
  excel->refuse_advise = true;
  const HRESULT connected = addin->OnConnection(excel, kConnectAfterStartup, nullptr, custom.Get());
  PumpMessages(300);
  checks.Check(connected == S_OK && excel->SinkCount() == 0,
               "with the application events refused, OnConnection still answers S_OK");
  checks.Check(StripRows(windows) == kStripHeight && FindForm(windows.Main()),
               "with the application events refused, the strip and the tab bar are there",
               Format("%d rows", StripRows(windows)));
  const HRESULT disconnected = addin->OnDisconnection(kDisconnectUserClosed, custom.Get());
  excel->refuse_advise = false;
  PumpMessages(200);
  checks.Check(disconnected == S_OK,
               "with the application events refused, OnDisconnection answers S_OK");
  CheckDisconnected(checks, "events refused", windows, excel);
}

void CheckExternalConnection(Checks& checks, IDTExtensibility2* addin, ExcelWindows& windows,
                             FakeApplication* excel) {
  CustomArray custom;
  const HRESULT connected = addin->OnConnection(excel, kConnectExternal, nullptr, custom.Get());
  PumpMessages(100);
  checks.Check(connected == S_OK && excel->SinkCount() == 0 && StripRows(windows) == 0 &&
                   !FindForm(windows.Main()) &&
                   windows.CurrentDeskProc() == windows.OriginalDeskProc(),
               "an external connection (mode 2) connects no events, strip or form");
  checks.Check(addin->OnDisconnection(kDisconnectUserClosed, custom.Get()) == S_OK,
               "disconnecting after an external connection answers S_OK");
}

}  // namespace wine_test
