// Checks of the tab strip module. The strip is reached the way the add-in and a screen reader
// reach it: through its COM interfaces and through WM_GETOBJECT, never through its internals.
#include "tests/wine/tab_strip_checks.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

#include "host/win32/com_object.h"
#include "tabctl/win32/zandrelix_api.h"
#include "tests/wine/fake_excel.h"
#include "tests/wine/registry_checks.h"

// After <windows.h>, which they build on.
#include <commctrl.h>
#include <oleacc.h>

namespace wine_test {
namespace {

using vestrano::tabctl::ITabStrip;
using vestrano::tabctl::ITabStripEvents;
using vestrano::tabctl::ITabStripItem;
using vestrano::tabctl::kClsidTabStrip;

const std::wstring kStripClassKey =
    std::wstring(L"Software\\Classes\\CLSID\\") + vestrano::tabctl::kTabStripClsidText;
const std::wstring kStripServerKey = kStripClassKey + L"\\InprocServer32";
const std::wstring kStripProgIdKey =
    std::wstring(L"Software\\Classes\\") + vestrano::tabctl::kTabStripProgId;
constexpr wchar_t kStripClass[] = L"ZandrelixTabStrip";

std::vector<char> ReadFile(const std::wstring& path) {
  std::ifstream in(std::string(Narrow(path)), std::ios::binary);
  if (!in) {
    // Paths under Wine's Z: drive are Unix paths to the C library.
    std::string unix_path = Narrow(path);
    if (unix_path.size() > 2 && unix_path[1] == ':') unix_path = unix_path.substr(2);
    std::replace(unix_path.begin(), unix_path.end(), '\\', '/');
    in.open(unix_path, std::ios::binary);
  }
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::wstring SystemModulePath() {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  return std::wstring(folder, length) + L"\\" + vestrano::tabctl::kModuleFileName;
}

// The strip's events as one line: "before:2 selected:2 up:1 ". An event raised while a window
// holds the mouse capture is marked "(captured)": a dialog it opened would lose its first click.
class EventLog final : public vestrano::win32::ComObject<EventLog, ITabStripEvents> {
 public:
  HRESULT STDMETHODCALLTYPE BeforeItemClick(ITabStripItem* item, VARIANT_BOOL*) noexcept override {
    text += "before:" + IndexOf(item) + Captured() + " ";
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SelectedChanged(ITabStripItem* item) noexcept override {
    text += "selected:" + IndexOf(item) + Captured() + " ";
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE MouseUp(SHORT button, SHORT, FLOAT, FLOAT) noexcept override {
    text += Format("up:%d", button) + Captured() + " ";
    return S_OK;
  }
  std::string text;

 private:
  static std::string IndexOf(ITabStripItem* item) {
    LONG index = -1;
    if (item) item->get_Index(&index);
    return std::to_string(index);
  }
  static std::string Captured() { return GetCapture() ? "(captured)" : ""; }
};

// A click as the user makes it: real input, so that Windows picks the window under the pointer,
// routes the release to whoever holds the capture, and keeps the buttons' state.
void ClickAt(POINT screen, DWORD down, DWORD up) {
  SetCursorPos(screen.x, screen.y);
  PumpMessages(30);
  INPUT inputs[2]{};
  inputs[0].type = inputs[1].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = down;
  inputs[1].mi.dwFlags = up;
  SendInput(2, inputs, sizeof(INPUT));
  PumpMessages(100);
}

// The size of every tool that the strip gives its tooltip control.
WNDPROC g_tooltip_proc = nullptr;
std::vector<UINT> g_tool_sizes;

LRESULT CALLBACK RecordToolSize(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == TTM_ADDTOOLW && lparam) {
    g_tool_sizes.push_back(reinterpret_cast<const TTTOOLINFOW*>(lparam)->cbSize);
  }
  return CallWindowProcW(g_tooltip_proc, hwnd, message, wparam, lparam);
}

// Lays the row out again and reads the sizes of the tools it adds.
std::vector<UINT> ToolSizesOfRelayout(ITabStrip* strip, HWND hwnd, HWND tooltip) {
  g_tool_sizes.clear();
  g_tooltip_proc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(tooltip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordToolSize)));
  strip->Refresh();
  UpdateWindow(hwnd);
  SetWindowLongPtrW(tooltip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_tooltip_proc));
  return g_tool_sizes;
}

using GetClassObjectProc = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNowProc = HRESULT(STDAPICALLTYPE*)();

template <typename Proc>
Proc Export(HMODULE module, const char* name) {
  return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

ComPtr<ITabStrip> StripFromModule(HMODULE module) {
  ComPtr<IClassFactory> factory;
  ComPtr<ITabStrip> strip;
  auto get_class = Export<GetClassObjectProc>(module, "DllGetClassObject");
  if (get_class && SUCCEEDED(get_class(kClsidTabStrip, IID_IClassFactory, factory.PutVoid()))) {
    factory->CreateInstance(nullptr, __uuidof(ITabStrip), strip.PutVoid());
  }
  return strip;
}

BSTR Text(const std::wstring& text) {
  return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

VARIANT Child(LONG id) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

std::wstring AccName(IAccessible* acc, LONG id) {
  BSTR name = nullptr;
  std::wstring out;
  if (SUCCEEDED(acc->get_accName(Child(id), &name)) && name) out = name;
  SysFreeString(name);
  return out;
}

std::wstring AccDescription(IAccessible* acc, LONG id) {
  BSTR text = nullptr;
  std::wstring out;
  if (SUCCEEDED(acc->get_accDescription(Child(id), &text)) && text) out = text;
  SysFreeString(text);
  return out;
}

LONG AccLong(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), IAccessible* acc,
             LONG id) {
  VARIANT out;
  VariantInit(&out);
  if (FAILED((acc->*get)(Child(id), &out)) || out.vt != VT_I4) return -1;
  return out.lVal;
}

// The tabs as a screen reader reads them: "name [selected] | ...".
std::string ReadTabs(HWND strip) {
  ComPtr<IAccessible> acc;
  if (FAILED(AccessibleObjectFromWindow(strip, static_cast<DWORD>(OBJID_CLIENT),
                                        __uuidof(IAccessible), acc.PutVoid())) ||
      !acc) {
    return "(no accessible object)";
  }
  LONG count = 0;
  acc->get_accChildCount(&count);
  std::string out;
  for (LONG id = 1; id <= count; ++id) {
    const LONG state = AccLong(&IAccessible::get_accState, acc.Get(), id);
    const std::string name = Narrow(AccName(acc.Get(), id));
    out += (id > 1 ? " | " : "") +
           (state >= 0 && (state & STATE_SYSTEM_SELECTED) ? "[" + name + "]" : name);
  }
  return out;
}

// Each tab's icon through the strip's published message, and what it answers past the last tab:
// "13 0 0 / -1".
std::string ReadImages(HWND strip) {
  const UINT message = RegisterWindowMessageW(vestrano::tabctl::kItemImageMessage);
  const auto image = [&](WPARAM index) {
    return static_cast<long>(SendMessageW(strip, message, index, 0));
  };
  return Format("%ld %ld %ld / %ld", image(0), image(1), image(2), image(3));
}

struct TooltipSearch {
  HWND owner;
  HWND found;
};

BOOL CALLBACK MatchTooltip(HWND hwnd, LPARAM data) {
  auto* search = reinterpret_cast<TooltipSearch*>(data);
  wchar_t name[64] = L"";
  GetClassNameW(hwnd, name, 64);
  if (GetWindow(hwnd, GW_OWNER) == search->owner &&
      CompareStringOrdinal(name, -1, TOOLTIPS_CLASSW, -1, TRUE) == CSTR_EQUAL) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

// The tooltip control of the strip, a pop-up window owned by the strip's top-level window.
HWND FindTooltip(HWND strip) {
  TooltipSearch search{GetAncestor(strip, GA_ROOT), nullptr};
  EnumThreadWindows(GetCurrentThreadId(), MatchTooltip, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindStrip(HWND main) {
  const HWND form = FindWindowExW(main, nullptr, L"ThunderRT6FormDC", L"Vestrano");
  return form ? FindWindowExW(form, nullptr, kStripClass, nullptr) : nullptr;
}

// A window of the test's own for a strip created straight from the module.
class HostWindow {
 public:
  HostWindow() {
    hwnd_ = CreateWindowExW(0, L"STATIC", L"strip host", WS_POPUP | WS_VISIBLE, 0, 0, 640, 25,
                            nullptr, nullptr, nullptr, nullptr);
  }
  ~HostWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
  }
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;
  HWND Get() const { return hwnd_; }

 private:
  HWND hwnd_ = nullptr;
};

// GetGuiResources where it counts (Windows); where it answers 0 (Wine), the slots that probe
// objects get in the GDI and USER handle tables, which both reuse freed slots last in, first
// out: an object kept in between holds a slot the probes would otherwise get back.
struct GuiCounts {
  DWORD gdi = 0;
  DWORD user = 0;
  std::vector<unsigned> gdi_slots;
  std::vector<unsigned> user_slots;
  friend bool operator==(const GuiCounts&, const GuiCounts&) = default;
};

GuiCounts CountGui() {
  constexpr int kProbes = 16;
  GuiCounts counts;
  counts.gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  counts.user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  HBRUSH brushes[kProbes];
  HMENU menus[kProbes];
  for (int i = 0; i < kProbes; ++i) {
    brushes[i] = CreateSolidBrush(RGB(i, 1, 2));
    menus[i] = CreatePopupMenu();
    counts.gdi_slots.push_back(LOWORD(reinterpret_cast<std::uintptr_t>(brushes[i])));
    counts.user_slots.push_back(LOWORD(reinterpret_cast<std::uintptr_t>(menus[i])));
  }
  for (int i = 0; i < kProbes; ++i) {
    DeleteObject(brushes[i]);
    DestroyMenu(menus[i]);
  }
  std::sort(counts.gdi_slots.begin(), counts.gdi_slots.end());
  std::sort(counts.user_slots.begin(), counts.user_slots.end());
  return counts;
}

std::string Describe(const GuiCounts& c) {
  std::string text = Format("GetGuiResources GDI %lu USER %lu; GDI slots",
                            static_cast<unsigned long>(c.gdi), static_cast<unsigned long>(c.user));
  for (unsigned slot : c.gdi_slots) text += Format(" %u", slot);
  text += "; USER slots";
  for (unsigned slot : c.user_slots) text += Format(" %u", slot);
  return text;
}

// The counting must see one object kept back, or its "nothing changed" would mean nothing.
void CheckCountingSeesALeak(Checks& checks) {
  const GuiCounts before = CountGui();
  const HBRUSH kept_brush = CreateSolidBrush(RGB(9, 9, 9));
  const GuiCounts with_brush = CountGui();
  const HWND kept_window =
      CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  const GuiCounts with_window = CountGui();
  DeleteObject(kept_brush);
  DestroyWindow(kept_window);
  checks.Check(with_brush.gdi != before.gdi || with_brush.gdi_slots != before.gdi_slots,
               "the GDI count notices one brush kept back",
               Describe(before) + " / " + Describe(with_brush));
  checks.Check(
      with_window.user != with_brush.user || with_window.user_slots != with_brush.user_slots,
      "the USER count notices one window kept back",
      Describe(with_brush) + " / " + Describe(with_window));
}

// One rebuild of the row, as Excel's activation of a workbook causes, and its repaint.
void RebuildAndPaint(FakeApplication* excel, HWND strip) {
  excel->Fire(kEventWorkbookActivate, {ObjectArg(excel->Workbook())});
  RedrawWindow(strip, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
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

std::vector<TestWorkbook> ManyWorkbooks(int count) {
  std::vector<TestWorkbook> books;
  for (int i = 0; i < count; ++i) {
    const std::wstring name = L"Report " + std::to_wstring(i + 1) + L".xlsx";
    books.push_back({name, L"C:\\Data\\" + name, true});
  }
  return books;
}

}  // namespace

std::wstring ModuleBeside(const std::wstring& dll_path) {
  return dll_path.substr(0, dll_path.rfind(L'\\') + 1) + vestrano::tabctl::kModuleFileName;
}

void CheckModuleCarried(Checks& checks, const std::wstring& dll_path) {
  const HMODULE dll = LoadLibraryExW(dll_path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  const HRSRC found = dll ? FindResourceExW(dll, L"OFFICE", MAKEINTRESOURCEW(101),
                                            MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED))
                          : nullptr;
  const HGLOBAL loaded = found ? LoadResource(dll, found) : nullptr;
  const auto* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  const DWORD size = found ? SizeofResource(dll, found) : 0;
  const std::vector<char> carried(bytes, bytes + (bytes ? size : 0));
  if (dll) FreeLibrary(dll);
  const std::vector<char> file = ReadFile(ModuleBeside(dll_path));
  checks.Check(!carried.empty() && carried == file,
               "Vestrano.dll carries Zandrelix.ocx as resource OFFICE 101, language 2052",
               Format("%zu bytes carried, %zu in the file", carried.size(), file.size()));
  // The module's machine must be the DLL's: e_lfanew at 0x3C, the machine after "PE\0\0".
  WORD machine = 0;
  if (carried.size() > 0x40) {
    DWORD pe = 0;
    std::copy_n(carried.data() + 0x3C, sizeof(pe), reinterpret_cast<char*>(&pe));
    if (pe + 6 < carried.size()) {
      std::copy_n(carried.data() + pe + 4, sizeof(machine), reinterpret_cast<char*>(&machine));
    }
  }
  const WORD own = sizeof(void*) == 8 ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386;
  checks.Check(machine == own, "the carried module is of the DLL's own bitness",
               Format("machine 0x%04x", machine));
}

void CheckModuleRegistration(Checks& checks, const std::wstring& module_path) {
  const auto registered = RunRegsvr32(module_path, false);
  checks.Check(registered == 0u, "regsvr32 registers Zandrelix.ocx");
  const auto server = ReadString(HKEY_CURRENT_USER, kStripServerKey, nullptr, OwnView());
  const auto threading =
      ReadString(HKEY_CURRENT_USER, kStripServerKey, L"ThreadingModel", OwnView());
  const auto progid = ReadString(HKEY_CURRENT_USER, kStripProgIdKey + L"\\CLSID", nullptr);
  checks.Check(
      server &&
          CompareStringOrdinal(server->c_str(), -1, module_path.c_str(), -1, TRUE) == CSTR_EQUAL &&
          threading == L"Apartment" && progid == std::wstring(vestrano::tabctl::kTabStripClsidText),
      "the module's class is registered per user, apartment-threaded, with its ProgID");
  // An elevated process sees the machine's classes only (and Wine looks nowhere else).
  if (ProcessIsElevated()) {
    const auto machine = ReadString(HKEY_LOCAL_MACHINE, kStripServerKey, nullptr, OwnView());
    checks.Check(machine && SamePath(*machine, module_path) &&
                     ReadString(HKEY_LOCAL_MACHINE, kStripProgIdKey + L"\\CLSID", nullptr) ==
                         std::wstring(vestrano::tabctl::kTabStripClsidText),
                 "regsvr32 ran elevated, so the class and ProgID are registered machine-wide too");
  }
  {
    CLSID clsid{};
    ComPtr<ITabStrip> strip;
    const HRESULT hr = SUCCEEDED(CLSIDFromProgID(vestrano::tabctl::kTabStripProgId, &clsid))
                           ? CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER,
                                              __uuidof(ITabStrip), strip.PutVoid())
                           : E_FAIL;
    checks.Check(SUCCEEDED(hr) && strip && clsid == kClsidTabStrip,
                 "CoCreateInstance makes the tab strip from its ProgID",
                 Format("hr 0x%08lx", static_cast<unsigned long>(hr)));
  }
  CoFreeUnusedLibrariesEx(0, 0);
  const auto unregistered = RunRegsvr32(module_path, true);
  checks.Check(unregistered == 0u && !KeyExists(HKEY_CURRENT_USER, kStripClassKey, OwnView()) &&
                   !KeyExists(HKEY_CURRENT_USER, kStripProgIdKey) &&
                   !KeyExists(HKEY_LOCAL_MACHINE, kStripClassKey, OwnView()),
               "regsvr32 /u removes the module's class and ProgID completely");
}

void CheckStripOnItsOwn(Checks& checks, const std::wstring& module_path) {
  const HMODULE module = LoadLibraryW(module_path.c_str());
  if (!checks.Check(module != nullptr, "Zandrelix.ocx loads straight from its file")) return;
  {
    HostWindow host;
    ComPtr<ITabStrip> strip = StripFromModule(module);
    ULONG_PTR window = 0;
    if (!checks.Check(
            strip && SUCCEEDED(strip->Attach(reinterpret_cast<ULONG_PTR>(host.Get()), &window)),
            "the module's class object makes a strip with a window")) {
      return;
    }
    const HWND hwnd = reinterpret_cast<HWND>(window);
    auto events = ComPtr<EventLog>::Adopt(new EventLog());
    strip->Advise(events.Get());
    strip->put_Left(0);
    strip->put_Width(640 * 15.0);
    const std::wstring long_name = std::wstring(251, L'x') + L".xls";
    const std::vector<std::wstring> captions{L"Budget.xlsx", L"\u9500\u552e\u62a5\u8868.xlsx",
                                             long_name, L"Book1 *"};
    strip->put_ItemCount(static_cast<LONG>(captions.size()));
    for (std::size_t i = 0; i < captions.size(); ++i) {
      ComPtr<ITabStripItem> item;
      strip->Item(static_cast<LONG>(i), item.Put());
      BSTR caption = Text(captions[i]);
      BSTR tip = Text(L"C:\\Data\\" + captions[i]);
      item->put_Caption(caption);
      item->put_ToolTip(tip);
      SysFreeString(caption);
      SysFreeString(tip);
    }
    {
      ComPtr<ITabStripItem> first;
      strip->Item(0, first.Put());
      first->put_Selected(VARIANT_TRUE);
    }
    UpdateWindow(hwnd);
    const HWND tooltip = FindTooltip(hwnd);
    wchar_t tip_text[512] = L"";
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = hwnd;
    tool.uId = 1;
    tool.lpszText = tip_text;
    const LRESULT tools = tooltip ? SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0) : 0;
    if (tooltip) SendMessageW(tooltip, TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&tool));
    checks.Check(
        tooltip && tools == static_cast<LRESULT>(captions.size()) &&
            std::wstring(tip_text) == L"C:\\Data\\" + captions[1],
        "a tooltip control owned by the strip has a tool per tab, with the full path",
        Format("%ld tools; tab 2: %s", static_cast<long>(tools), Narrow(tip_text).c_str()));
    checks.Check(events->text == "selected:0 ",
                 "selecting an item raises SelectedChanged before it returns", events->text);
    const std::vector<UINT> sizes =
        tooltip ? ToolSizesOfRelayout(strip.Get(), hwnd, tooltip) : std::vector<UINT>{};
    checks.Check(sizes.size() == captions.size() &&
                     std::all_of(sizes.begin(), sizes.end(),
                                 [](UINT size) { return size == TTTOOLINFOW_V2_SIZE; }),
                 "the tooltip's tools have the size that comctl32 5.x takes as well as 6",
                 Format("%zu tools, first of %u bytes (5.x takes %u)", sizes.size(),
                        sizes.empty() ? 0u : sizes[0], static_cast<unsigned>(TTTOOLINFOW_V2_SIZE)));

    ComPtr<IAccessible> acc;
    const HRESULT got = AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT),
                                                   __uuidof(IAccessible), acc.PutVoid());
    if (checks.Check(SUCCEEDED(got) && acc, "WM_GETOBJECT gives the strip's own IAccessible",
                     Format("hr 0x%08lx", static_cast<unsigned long>(got)))) {
      LONG count = 0;
      acc->get_accChildCount(&count);
      bool names = count == static_cast<LONG>(captions.size());
      bool roles =
          AccLong(&IAccessible::get_accRole, acc.Get(), CHILDID_SELF) == ROLE_SYSTEM_PAGETABLIST;
      for (LONG id = 1; id <= count && id <= static_cast<LONG>(captions.size()); ++id) {
        names = names && AccName(acc.Get(), id) == captions[static_cast<std::size_t>(id - 1)] &&
                AccDescription(acc.Get(), id) ==
                    L"C:\\Data\\" + captions[static_cast<std::size_t>(id - 1)];
        roles = roles && AccLong(&IAccessible::get_accRole, acc.Get(), id) == ROLE_SYSTEM_PAGETAB;
      }
      checks.Check(names && roles,
                   "the accessible tree is a page tab list of page tabs named by their captions, "
                   "described by their tooltips",
                   ReadTabs(hwnd));
      checks.Check(ReadTabs(hwnd).rfind("[Budget.xlsx]", 0) == 0,
                   "the accessible tree shows the selected tab", ReadTabs(hwnd));
      LONG x = 0, y = 0, w = 0, h = 0;
      acc->accLocation(&x, &y, &w, &h, Child(2));
      checks.Check(w > 0 && h > 0, "a tab has a location on screen",
                   Format("%ld,%ld %ldx%ld", x, y, w, h));

      events->text.clear();
      const HRESULT action = acc->accDoDefaultAction(Child(2));
      checks.Check(SUCCEEDED(action) && events->text == "before:1 selected:1 up:1 ",
                   "a tab's default action clicks it: BeforeItemClick, SelectedChanged, MouseUp",
                   events->text);
      checks.Check(ReadTabs(hwnd).find("[\xe9\x94\x80") != std::string::npos,
                   "after the default action the accessible tree shows the new selection",
                   ReadTabs(hwnd));

      // A real click on the third tab, and what HitTest finds there.
      acc->accLocation(&x, &y, &w, &h, Child(3));
      const POINT screen{x + w / 2, y + h / 2};
      POINT middle = screen;
      ScreenToClient(hwnd, &middle);
      events->text.clear();
      ClickAt(screen, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
      ComPtr<ITabStripItem> hit;
      LONG hit_index = -1;
      if (strip->HitTest(middle.x, middle.y, hit.Put()) == S_OK) hit->get_Index(&hit_index);
      checks.Check(events->text == "before:2 selected:2 up:1 " && hit_index == 2,
                   "a mouse click raises BeforeItemClick, SelectedChanged and MouseUp in that "
                   "order, with no mouse capture held, at a point where HitTest finds the tab",
                   events->text + Format("; hit %ld", hit_index));
      events->text.clear();
      ClickAt(screen, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
      checks.Check(events->text == "up:2 " && !GetCapture(),
                   "a right click raises MouseUp only, with no mouse capture held", events->text);
    }
    strip->Advise(nullptr);
    acc.Reset();
  }
  PumpMessages(50);
  const auto can_unload = Export<CanUnloadNowProc>(module, "DllCanUnloadNow");
  checks.Check(can_unload && can_unload() == S_OK,
               "the module may unload once its strips are released and their window gone");
  FreeLibrary(module);
}

void CheckTabsOnTheBar(Checks& checks, IDTExtensibility2* addin, ExcelWindows& windows,
                       const std::wstring& module_path) {
  const std::wstring installed = SystemModulePath();
  if (!checks.Check(CopyFileW(module_path.c_str(), installed.c_str(), FALSE) != FALSE,
                    "the module is put in the system directory, unregistered")) {
    return;
  }
  {
    std::vector<TestWorkbook> books{
        {L"Budget.xlsx", L"C:\\Data\\Budget.xlsx", true},
        {L"\u9500\u552e\u62a5\u8868.xls", L"C:\\Data\\\u9500\u552e\u62a5\u8868.xls", false},
        {L"Book1", L"Book1", false}};
    auto excel = ComPtr<FakeApplication>::Adopt(new FakeApplication(windows.Main(), books, 0));
    Connect(addin, excel.Get());
    const HWND strip = FindStrip(windows.Main());
    checks.Check(strip != nullptr, "the bar shows our tab strip, made from the module file");
    checks.Check(
        ReadTabs(strip) ==
            "[Budget.xlsx] | \xe9\x94\x80\xe5\x94\xae\xe6\x8a\xa5\xe8\xa1\xa8.xls * | Book1 *",
        "the bar's tabs, read through accessibility, are the workbooks", ReadTabs(strip));
    checks.Check(ReadImages(strip) == "13 0 0 / -1",
                 "the strip tells each tab's icon, and -1 past the last tab", ReadImages(strip));

    CheckCountingSeesALeak(checks);
    // Whatever Windows makes once and keeps is made by the first rebuilds.
    for (int i = 0; i < 5; ++i) RebuildAndPaint(excel.Get(), strip);
    PumpMessages(50);
    const GuiCounts first = CountGui();
    for (int i = 0; i < 1000; ++i) RebuildAndPaint(excel.Get(), strip);
    PumpMessages(50);
    const GuiCounts after = CountGui();
    const bool counted = first.gdi != 0;
    checks.Check(after == first,
                 Format("1000 rebuilds with repaints leave the GDI and USER objects as they were "
                        "(%s)",
                        counted ? "GetGuiResources" : "handle slots; Wine's GetGuiResources is 0"),
                 "first: " + Describe(first) + "; after: " + Describe(after));
    checks.Info("GUI objects after the first rebuild: " + Describe(first) +
                "; after 1000: " + Describe(after));
    checks.Check(ReadTabs(strip).rfind("[Budget.xlsx]", 0) == 0,
                 "after the rebuilds the row is still the same", ReadTabs(strip));
    Disconnect(addin);
  }
  {
    auto excel =
        ComPtr<FakeApplication>::Adopt(new FakeApplication(windows.Main(), ManyWorkbooks(100), 99));
    Connect(addin, excel.Get());
    const HWND strip = FindStrip(windows.Main());
    RebuildAndPaint(excel.Get(), strip);
    constexpr int kRounds = 50;
    Stopwatch watch;
    for (int i = 0; i < kRounds; ++i) RebuildAndPaint(excel.Get(), strip);
    const double each = watch.ElapsedMs() / kRounds;
    Stopwatch paint_watch;
    for (int i = 0; i < kRounds; ++i) {
      RedrawWindow(strip, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    const double paint = paint_watch.ElapsedMs() / kRounds;
    checks.Info(
        Format("benchmark: one rebuild of 100 tabs with repaint takes %.2f ms "
               "(the repaint alone %.2f ms)",
               each, paint));
    const std::string tabs = ReadTabs(strip);
    checks.Check(tabs.find("[Report 100.xlsx]") != std::string::npos,
                 "with 100 tabs the last workbook's tab is selected");
    ComPtr<IAccessible> acc;
    AccessibleObjectFromWindow(strip, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                               acc.PutVoid());
    const LONG last = acc ? AccLong(&IAccessible::get_accState, acc.Get(), 100) : -1;
    const LONG first = acc ? AccLong(&IAccessible::get_accState, acc.Get(), 1) : -1;
    checks.Check(last >= 0 && !(last & STATE_SYSTEM_INVISIBLE) && first >= 0 &&
                     (first & STATE_SYSTEM_INVISIBLE),
                 "more tabs than fit: the selected last tab is scrolled into view, the first "
                 "is scrolled out");
    acc.Reset();
    Disconnect(addin);
  }
}

void CheckRightEdge(Checks& checks, IDTExtensibility2* addin, ExcelWindows& windows,
                    const std::wstring& module_path) {
  const std::wstring installed = SystemModulePath();
  CopyFileW(module_path.c_str(), installed.c_str(), FALSE);
  auto excel = ComPtr<FakeApplication>::Adopt(new FakeApplication(windows.Main()));
  Connect(addin, excel.Get());
  const HWND form = FindWindowExW(windows.Main(), nullptr, L"ThunderRT6FormDC", L"Vestrano");
  const HWND strip = FindStrip(windows.Main());
  RECT bar{};
  RECT tabs{};
  GetWindowRect(form, &bar);
  GetWindowRect(strip, &tabs);
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  checks.Check(form && strip && tabs.right == bar.right,
               Format("at %d DPI the tab strip ends exactly at the bar's right edge", dpi),
               Format("bar right %ld, strip right %ld", bar.right, tabs.right));
  Disconnect(addin);
}

}  // namespace wine_test

namespace wine_test {

bool InstallModuleFile(const std::wstring& module_path) {
  return CopyFileW(module_path.c_str(), SystemModulePath().c_str(), FALSE) != FALSE;
}

void RemoveInstalledModule(Checks& checks) {
  const std::wstring installed = SystemModulePath();
  if (GetFileAttributesW(installed.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  // The start-up installation registered it, elevated for the machine too.
  RunRegsvr32(installed, true);
  checks.Check(DeleteFileW(installed.c_str()) != FALSE,
               "the module is taken out of the system directory again");
}

}  // namespace wine_test
