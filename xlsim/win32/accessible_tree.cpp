// The accessible tree's IAccessible. Child identifiers count from 1 across the node's children,
// objects and simple elements alike, as AccessibleChildren hands them out.
#include "xlsim/win32/accessible_tree.h"

#include <new>

namespace vestrano::xlsim::win32 {
namespace {

HRESULT ReturnText(const std::wstring& text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (text.empty()) return S_FALSE;
  *out = SysAllocString(text.c_str());
  return *out ? S_OK : E_OUTOFMEMORY;
}

void SetLong(VARIANT* out, LONG value) {
  VariantInit(out);
  out->vt = VT_I4;
  out->lVal = value;
}

}  // namespace

ComPtr<AccessibleNode> AccessibleNode::Create(AccessibleFacts facts) {
  return ComPtr<AccessibleNode>::Adopt(new (std::nothrow) AccessibleNode(std::move(facts)));
}

AccessibleNode::~AccessibleNode() {
  for (auto& child : children_) {
    if (child.object) child.object->parent_ = nullptr;
  }
}

void AccessibleNode::AddObject(const ComPtr<AccessibleNode>& child) {
  if (!child) return;
  child->parent_ = this;
  children_.push_back({child, {}});
}

void AccessibleNode::AddSimple(AccessibleFacts facts) {
  children_.push_back({nullptr, std::move(facts)});
}

const AccessibleFacts* AccessibleNode::FactsOf(const VARIANT& child, const Child** entry) const {
  VARIANT id;
  VariantInit(&id);
  if (FAILED(VariantChangeType(&id, const_cast<VARIANT*>(&child), 0, VT_I4))) return nullptr;
  if (id.lVal == CHILDID_SELF) return &facts_;
  if (id.lVal < 1 || id.lVal > static_cast<LONG>(children_.size())) return nullptr;
  const Child& found = children_[static_cast<std::size_t>(id.lVal - 1)];
  if (entry) *entry = &found;
  return found.object ? &found.object->facts_ : &found.simple;
}

HRESULT AccessibleNode::GetTypeInfoCount(UINT* count) noexcept {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}
HRESULT AccessibleNode::GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}
HRESULT AccessibleNode::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept {
  return E_NOTIMPL;
}
HRESULT AccessibleNode::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                               UINT*) noexcept {
  return E_NOTIMPL;
}

HRESULT AccessibleNode::get_accParent(IDispatch** parent) noexcept {
  if (!parent) return E_POINTER;
  *parent = parent_;
  if (!parent_) return S_FALSE;
  parent_->AddRef();
  return S_OK;
}

HRESULT AccessibleNode::get_accChildCount(LONG* count) noexcept {
  if (!count) return E_POINTER;
  *count = static_cast<LONG>(children_.size());
  return S_OK;
}

HRESULT AccessibleNode::get_accChild(VARIANT child, IDispatch** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  const Child* entry = nullptr;
  if (!FactsOf(child, &entry) || !entry) return E_INVALIDARG;
  if (!entry->object) return S_FALSE;
  *out = entry->object.Get();
  (*out)->AddRef();
  return S_OK;
}

HRESULT AccessibleNode::get_accName(VARIANT child, BSTR* name) noexcept {
  const AccessibleFacts* facts = FactsOf(child);
  if (!facts) return E_INVALIDARG;
  return ReturnText(facts->name, name);
}

HRESULT AccessibleNode::get_accValue(VARIANT, BSTR* value) noexcept {
  if (value) *value = nullptr;
  return S_FALSE;
}

HRESULT AccessibleNode::get_accDescription(VARIANT, BSTR* text) noexcept {
  if (text) *text = nullptr;
  return S_FALSE;
}

HRESULT AccessibleNode::get_accRole(VARIANT child, VARIANT* role) noexcept {
  if (!role) return E_POINTER;
  VariantInit(role);
  const AccessibleFacts* facts = FactsOf(child);
  if (!facts) return E_INVALIDARG;
  SetLong(role, facts->role);
  return S_OK;
}

HRESULT AccessibleNode::get_accState(VARIANT child, VARIANT* state) noexcept {
  if (!state) return E_POINTER;
  VariantInit(state);
  const AccessibleFacts* facts = FactsOf(child);
  if (!facts) return E_INVALIDARG;
  SetLong(state, facts->state ? facts->state() : 0);
  return S_OK;
}

HRESULT AccessibleNode::get_accHelp(VARIANT, BSTR* help) noexcept {
  if (help) *help = nullptr;
  return S_FALSE;
}

HRESULT AccessibleNode::get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) noexcept {
  if (file) *file = nullptr;
  if (topic) *topic = 0;
  return S_FALSE;
}

HRESULT AccessibleNode::get_accKeyboardShortcut(VARIANT, BSTR* keys) noexcept {
  if (keys) *keys = nullptr;
  return S_FALSE;
}

HRESULT AccessibleNode::get_accFocus(VARIANT* child) noexcept {
  if (!child) return E_POINTER;
  VariantInit(child);
  return S_FALSE;
}

HRESULT AccessibleNode::get_accSelection(VARIANT* children) noexcept {
  if (!children) return E_POINTER;
  VariantInit(children);
  return S_FALSE;
}

HRESULT AccessibleNode::get_accDefaultAction(VARIANT child, BSTR* action) noexcept {
  const AccessibleFacts* facts = FactsOf(child);
  if (!facts) return E_INVALIDARG;
  return ReturnText(facts->default_action, action);
}

HRESULT AccessibleNode::accSelect(LONG, VARIANT child) noexcept {
  return FactsOf(child) ? DISP_E_MEMBERNOTFOUND : E_INVALIDARG;
}

HRESULT AccessibleNode::accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                    VARIANT child) noexcept {
  if (!left || !top || !width || !height) return E_POINTER;
  *left = *top = *width = *height = 0;
  const AccessibleFacts* facts = FactsOf(child);
  if (!facts) return E_INVALIDARG;
  if (!facts->location) return S_FALSE;
  const RECT r = facts->location();
  *left = r.left;
  *top = r.top;
  *width = r.right - r.left;
  *height = r.bottom - r.top;
  return S_OK;
}

HRESULT AccessibleNode::accNavigate(LONG, VARIANT, VARIANT* end) noexcept {
  if (end) VariantInit(end);
  return DISP_E_MEMBERNOTFOUND;
}

HRESULT AccessibleNode::accHitTest(LONG, LONG, VARIANT* child) noexcept {
  if (child) VariantInit(child);
  return DISP_E_MEMBERNOTFOUND;
}

HRESULT AccessibleNode::accDoDefaultAction(VARIANT child) noexcept {
  const AccessibleFacts* facts = FactsOf(child);
  if (!facts) return E_INVALIDARG;
  if (!facts->act) return DISP_E_MEMBERNOTFOUND;
  // The action may close the dialog that holds this tree.
  const ComPtr<AccessibleNode> keep(this);
  const auto act = facts->act;
  act();
  return S_OK;
}

}  // namespace vestrano::xlsim::win32
