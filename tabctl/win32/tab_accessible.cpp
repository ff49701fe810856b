// The strip's IAccessible. Children are numbered from 1 in the order of the row, as Active
// Accessibility numbers simple elements; 0 (CHILDID_SELF) is the list.
#include "tabctl/win32/tab_accessible.h"

#include <string>

#include "host/win32/com_guard.h"
#include "tabctl/win32/tab_strip_window.h"

namespace vestrano::tabctl {
namespace {

using vestrano::win32::GuardedHresult;

constexpr wchar_t kDefaultAction[] = L"Switch";

HRESULT ReturnText(std::u16string_view text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (text.empty()) return S_FALSE;
  *out = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                           static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

void SetChild(VARIANT* out, LONG id) {
  VariantInit(out);
  out->vt = VT_I4;
  out->lVal = id;
}

}  // namespace

vestrano::win32::ComPtr<TabAccessible> TabAccessible::Create(TabStripWindow* window,
                                                             TabStripModel* model,
                                                             IUnknown* owner) {
  return vestrano::win32::ComPtr<TabAccessible>::Adopt(new TabAccessible(window, model, owner));
}

LONG TabAccessible::ChildOf(const VARIANT& child) const {
  VARIANT id;
  VariantInit(&id);
  if (FAILED(VariantChangeType(&id, const_cast<VARIANT*>(&child), 0, VT_I4))) return -1;
  if (!model_ || id.lVal < 0 || id.lVal > model_->Count()) return -1;
  return id.lVal;
}

HRESULT TabAccessible::GetTypeInfoCount(UINT* count) noexcept {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}
HRESULT TabAccessible::GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}
HRESULT TabAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept {
  return E_NOTIMPL;
}
HRESULT TabAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                              UINT*) noexcept {
  return E_NOTIMPL;
}

HRESULT TabAccessible::get_accParent(IDispatch** parent) noexcept {
  if (!parent) return E_POINTER;
  *parent = nullptr;
  if (!window_) return RPC_E_DISCONNECTED;
  return AccessibleObjectFromWindow(window_->Handle(), static_cast<DWORD>(OBJID_WINDOW),
                                    IID_IDispatch, reinterpret_cast<void**>(parent));
}

HRESULT TabAccessible::get_accChildCount(LONG* count) noexcept {
  if (!count) return E_POINTER;
  *count = 0;
  if (!model_) return RPC_E_DISCONNECTED;
  *count = model_->Count();
  return S_OK;
}

HRESULT TabAccessible::get_accChild(VARIANT child, IDispatch** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!model_) return RPC_E_DISCONNECTED;
  const LONG id = ChildOf(child);
  // Tabs are simple elements: they have no object of their own.
  return id > 0 ? S_FALSE : E_INVALIDARG;
}

HRESULT TabAccessible::get_accName(VARIANT child, BSTR* name) noexcept {
  return GuardedHresult("the tab strip's accessible name", [&] {
    if (!model_) return RPC_E_DISCONNECTED;
    const LONG id = ChildOf(child);
    if (id < 0) return E_INVALIDARG;
    if (id == CHILDID_SELF) return ReturnText(u"Workbook tabs", name);
    return ReturnText(model_->At(id - 1).caption, name);
  });
}

HRESULT TabAccessible::get_accValue(VARIANT, BSTR* value) noexcept {
  if (value) *value = nullptr;
  return DISP_E_MEMBERNOTFOUND;
}

HRESULT TabAccessible::get_accDescription(VARIANT child, BSTR* text) noexcept {
  return GuardedHresult("the tab strip's accessible description", [&] {
    if (!model_) return RPC_E_DISCONNECTED;
    const LONG id = ChildOf(child);
    if (id < 0) return E_INVALIDARG;
    if (id == CHILDID_SELF) return ReturnText({}, text);
    return ReturnText(model_->At(id - 1).tooltip, text);
  });
}

HRESULT TabAccessible::get_accRole(VARIANT child, VARIANT* role) noexcept {
  if (!role) return E_POINTER;
  VariantInit(role);
  if (!model_) return RPC_E_DISCONNECTED;
  const LONG id = ChildOf(child);
  if (id < 0) return E_INVALIDARG;
  SetChild(role, id == CHILDID_SELF ? ROLE_SYSTEM_PAGETABLIST : ROLE_SYSTEM_PAGETAB);
  return S_OK;
}

HRESULT TabAccessible::get_accState(VARIANT child, VARIANT* state) noexcept {
  return GuardedHresult("a tab's accessible state", [&]() -> HRESULT {
    if (!state) return E_POINTER;
    VariantInit(state);
    if (!model_ || !window_) return RPC_E_DISCONNECTED;
    const LONG id = ChildOf(child);
    if (id < 0) return E_INVALIDARG;
    LONG bits = 0;
    if (id != CHILDID_SELF) {
      bits = STATE_SYSTEM_SELECTABLE;
      if (model_->SelectedIndex() == id - 1) bits |= STATE_SYSTEM_SELECTED;
      const StripLayout& layout = window_->Layout();
      if (static_cast<std::size_t>(id - 1) >= layout.tabs.size() ||
          !layout.tabs[static_cast<std::size_t>(id - 1)].visible) {
        bits |= STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN;
      }
    } else if (!IsWindowVisible(window_->Handle())) {
      bits = STATE_SYSTEM_INVISIBLE;
    }
    SetChild(state, bits);
    return S_OK;
  });
}

HRESULT TabAccessible::get_accHelp(VARIANT, BSTR* help) noexcept {
  if (help) *help = nullptr;
  return S_FALSE;
}

HRESULT TabAccessible::get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) noexcept {
  if (file) *file = nullptr;
  if (topic) *topic = 0;
  return S_FALSE;
}

HRESULT TabAccessible::get_accKeyboardShortcut(VARIANT, BSTR* keys) noexcept {
  if (keys) *keys = nullptr;
  return S_FALSE;
}

HRESULT TabAccessible::get_accFocus(VARIANT* child) noexcept {
  if (!child) return E_POINTER;
  // The strip never keeps the keyboard focus: it gives it back to Excel after each click.
  VariantInit(child);
  return S_FALSE;
}

HRESULT TabAccessible::get_accSelection(VARIANT* children) noexcept {
  if (!children) return E_POINTER;
  VariantInit(children);
  if (!model_) return RPC_E_DISCONNECTED;
  const auto selected = model_->SelectedIndex();
  if (!selected) return S_FALSE;
  SetChild(children, *selected + 1);
  return S_OK;
}

HRESULT TabAccessible::get_accDefaultAction(VARIANT child, BSTR* action) noexcept {
  if (!action) return E_POINTER;
  *action = nullptr;
  if (!model_) return RPC_E_DISCONNECTED;
  const LONG id = ChildOf(child);
  if (id < 0) return E_INVALIDARG;
  if (id == CHILDID_SELF) return S_FALSE;
  *action = SysAllocString(kDefaultAction);
  return *action ? S_OK : E_OUTOFMEMORY;
}

HRESULT TabAccessible::accSelect(LONG flags, VARIANT child) noexcept {
  return GuardedHresult("selecting a tab through accessibility", [&] {
    if (!model_ || !window_) return RPC_E_DISCONNECTED;
    const LONG id = ChildOf(child);
    if (id <= 0) return E_INVALIDARG;
    if (!(flags & (SELFLAG_TAKESELECTION | SELFLAG_TAKEFOCUS | SELFLAG_ADDSELECTION))) {
      return E_INVALIDARG;
    }
    const vestrano::win32::ComPtr<IUnknown> keep(owner_);
    TabStripWindow* window = window_;
    model_->Select(model_->At(id - 1).id);
    if (window_) window->Changed();
    return S_OK;
  });
}

HRESULT TabAccessible::accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                   VARIANT child) noexcept {
  return GuardedHresult("a tab's accessible location", [&]() -> HRESULT {
    if (!left || !top || !width || !height) return E_POINTER;
    *left = *top = *width = *height = 0;
    if (!model_ || !window_) return RPC_E_DISCONNECTED;
    const LONG id = ChildOf(child);
    if (id < 0) return E_INVALIDARG;
    RECT r{};
    if (id == CHILDID_SELF) {
      GetWindowRect(window_->Handle(), &r);
    } else {
      r = window_->TabScreenRect(id - 1);
    }
    *left = r.left;
    *top = r.top;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
  });
}

HRESULT TabAccessible::accNavigate(LONG direction, VARIANT start, VARIANT* end) noexcept {
  if (!end) return E_POINTER;
  VariantInit(end);
  if (!model_) return RPC_E_DISCONNECTED;
  const LONG from = ChildOf(start);
  if (from < 0) return E_INVALIDARG;
  const LONG count = model_->Count();
  LONG to = 0;
  switch (direction) {
    case NAVDIR_FIRSTCHILD:
      to = from == CHILDID_SELF && count > 0 ? 1 : 0;
      break;
    case NAVDIR_LASTCHILD:
      to = from == CHILDID_SELF ? count : 0;
      break;
    case NAVDIR_NEXT:
    case NAVDIR_RIGHT:
      to = from > 0 && from < count ? from + 1 : 0;
      break;
    case NAVDIR_PREVIOUS:
    case NAVDIR_LEFT:
      to = from > 1 ? from - 1 : 0;
      break;
    default:
      return E_INVALIDARG;
  }
  if (to == 0) return S_FALSE;
  SetChild(end, to);
  return S_OK;
}

HRESULT TabAccessible::accHitTest(LONG x, LONG y, VARIANT* child) noexcept {
  return GuardedHresult("the accessible tab under a point", [&]() -> HRESULT {
    if (!child) return E_POINTER;
    VariantInit(child);
    if (!model_ || !window_) return RPC_E_DISCONNECTED;
    POINT p{x, y};
    RECT bounds{};
    GetWindowRect(window_->Handle(), &bounds);
    if (!PtInRect(&bounds, p)) return S_FALSE;
    ScreenToClient(window_->Handle(), &p);
    const Hit hit = HitTestStrip(window_->Layout(), p.x, p.y, model_->SelectedIndex());
    SetChild(child, hit.kind == HitKind::kTab ? hit.index + 1 : CHILDID_SELF);
    return S_OK;
  });
}

HRESULT TabAccessible::accDoDefaultAction(VARIANT child) noexcept {
  return GuardedHresult("a tab's default action", [&] {
    if (!model_ || !window_) return RPC_E_DISCONNECTED;
    const LONG id = ChildOf(child);
    if (id <= 0) return id == 0 ? DISP_E_MEMBERNOTFOUND : E_INVALIDARG;
    // The click's handlers may destroy the strip's window; the strip itself stays until the end.
    const vestrano::win32::ComPtr<IUnknown> keep(owner_);
    TabStripModel* model = model_;
    model->ClickItem(model->At(id - 1).id, [this] {
      if (!window_) return StripLayout{};
      window_->Changed();
      return window_->Layout();
    });
    return S_OK;
  });
}

}  // namespace vestrano::tabctl
