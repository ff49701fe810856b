// Reading the tab row through oleacc.
#include "xlsim/win32/tab_row_reader.h"

// After <windows.h>, which it builds on.
#include <oleacc.h>

#include "host/win32/com_ptr.h"
#include "tabctl/win32/zandrelix_api.h"
#include "xlsim/win32/text.h"

namespace vestrano::xlsim::win32 {
namespace {

using vestrano::win32::ComPtr;

constexpr wchar_t kBarClass[] = L"ThunderRT6FormDC";
constexpr wchar_t kBarTitle[] = L"Vestrano";

VARIANT Child(LONG id) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

std::string Text(IAccessible* acc, LONG id,
                 HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
  BSTR text = nullptr;
  if (FAILED((acc->*get)(Child(id), &text)) || !text) return {};
  const std::string out = Utf8({text, SysStringLen(text)});
  SysFreeString(text);
  return out;
}

std::optional<LONG> Number(IAccessible* acc, LONG id,
                           HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*)) {
  VARIANT out;
  VariantInit(&out);
  if (FAILED((acc->*get)(Child(id), &out))) return std::nullopt;
  VARIANT number;
  VariantInit(&number);
  const bool ok = SUCCEEDED(VariantChangeType(&number, &out, 0, VT_I4));
  VariantClear(&out);
  if (!ok) return std::nullopt;
  return number.lVal;
}

ComPtr<IAccessible> ClientObject(HWND hwnd) {
  ComPtr<IAccessible> acc;
  // __uuidof, not IID_IAccessible: the 64-bit liboleacc.a resolves that name to an import thunk.
  if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT),
                                        __uuidof(IAccessible), acc.PutVoid()))) {
    return nullptr;
  }
  return acc;
}

struct RowSearch {
  HWND found = nullptr;
};

BOOL CALLBACK MatchRow(HWND hwnd, LPARAM data) {
  auto* search = reinterpret_cast<RowSearch*>(data);
  const auto acc = ClientObject(hwnd);
  if (acc &&
      Number(acc.Get(), CHILDID_SELF, &IAccessible::get_accRole) == ROLE_SYSTEM_PAGETABLIST) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

struct BarSearch {
  HWND found = nullptr;
};

BOOL CALLBACK MatchTopLevelBar(HWND hwnd, LPARAM data) {
  wchar_t name[64] = L"";
  wchar_t title[64] = L"";
  GetClassNameW(hwnd, name, 64);
  GetWindowTextW(hwnd, title, 64);
  if (std::wstring_view(name) == kBarClass && std::wstring_view(title) == kBarTitle) {
    reinterpret_cast<BarSearch*>(data)->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND FindTabBar(HWND excel_main) {
  if (const HWND child = FindWindowExW(excel_main, nullptr, kBarClass, kBarTitle)) return child;
  BarSearch search;
  EnumThreadWindows(GetCurrentThreadId(), MatchTopLevelBar, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool ShownInExcel(HWND window, HWND excel_main) {
  for (HWND at = window; at && at != excel_main; at = GetAncestor(at, GA_PARENT)) {
    if (!(GetWindowLongPtrW(at, GWL_STYLE) & WS_VISIBLE)) return false;
    if (at == GetDesktopWindow()) break;
  }
  return window != nullptr;
}

HWND FindTabRow(HWND bar) {
  if (!bar) return nullptr;
  RowSearch search;
  EnumChildWindows(bar, MatchRow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::optional<std::vector<TabOnScreen>> ReadTabRow(HWND row) {
  const auto acc = ClientObject(row);
  if (!acc) return std::nullopt;
  LONG count = 0;
  if (FAILED(acc->get_accChildCount(&count))) return std::nullopt;
  static const UINT image_message = RegisterWindowMessageW(vestrano::tabctl::kItemImageMessage);
  std::vector<TabOnScreen> tabs;
  for (LONG id = 1; id <= count; ++id) {
    TabOnScreen tab;
    tab.view.caption = Text(acc.Get(), id, &IAccessible::get_accName);
    tab.view.tooltip = Text(acc.Get(), id, &IAccessible::get_accDescription);
    const auto state = Number(acc.Get(), id, &IAccessible::get_accState);
    tab.view.selected = state && (*state & STATE_SYSTEM_SELECTED);
    tab.view.image =
        image_message ? static_cast<int>(SendMessageW(row, image_message, id - 1, 0)) : -1;
    LONG left = 0, top = 0, width = 0, height = 0;
    if (SUCCEEDED(acc->accLocation(&left, &top, &width, &height, Child(id)))) {
      tab.rect = {left, top, left + width, top + height};
    }
    tabs.push_back(std::move(tab));
  }
  return tabs;
}

scenario::Box InMainClient(HWND window, HWND excel_main) {
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, excel_main, reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace vestrano::xlsim::win32
