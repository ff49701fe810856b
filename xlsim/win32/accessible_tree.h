// An accessible tree of xlsim's own, for windows whose real controls Wine's oleacc describes only
// as stubs: objects with a name, a role, a live state, a location and a default action, whose
// children are objects of their own or simple elements (numbered from 1, as Active
// Accessibility numbers them). A screen reader, or an add-in, walks it as it would walk the tree
// that Windows makes of a dialog.
#pragma once

#include "host/win32/windows_api.h"

// After <windows.h>, which it builds on.
#include <oleacc.h>

#include <functional>
#include <string>
#include <vector>

#include "host/win32/com_object.h"
#include "host/win32/com_ptr.h"

namespace vestrano::xlsim::win32 {

using vestrano::win32::ComPtr;

struct AccessibleFacts {
  std::wstring name;
  LONG role = 0;
  std::function<LONG()> state;     // read when asked; 0 when empty
  std::function<RECT()> location;  // screen coordinates; empty when not given
  std::wstring default_action;     // empty: none
  std::function<void()> act;       // the default action
};

class AccessibleNode final : public vestrano::win32::ComObject<AccessibleNode, IAccessible> {
 public:
  static ComPtr<AccessibleNode> Create(AccessibleFacts facts);
  static bool AlsoAnswers(REFIID iid) { return iid == IID_IDispatch; }

  // Children in order; an object child gets this node as its parent.
  void AddObject(const ComPtr<AccessibleNode>& child);
  void AddSimple(AccessibleFacts facts);

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) noexcept override;
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) noexcept override;
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) noexcept override;
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) noexcept override;
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) noexcept override;
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) noexcept override;
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) noexcept override;
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) noexcept override;
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) noexcept override;
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) noexcept override;
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child,
                                             LONG* topic) noexcept override;
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) noexcept override;
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) noexcept override;
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) noexcept override;
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) noexcept override;
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) noexcept override;
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                        VARIANT child) noexcept override;
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start,
                                        VARIANT* end) noexcept override;
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) noexcept override;
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) noexcept override;
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) noexcept override { return E_NOTIMPL; }

 private:
  explicit AccessibleNode(AccessibleFacts facts) : facts_(std::move(facts)) {}
  friend class vestrano::win32::ComObject<AccessibleNode, IAccessible>;
  ~AccessibleNode();
  struct Child {
    ComPtr<AccessibleNode> object;
    AccessibleFacts simple;
  };
  // The facts that `child` names: this node's (0) or a child's; null when it names nothing.
  const AccessibleFacts* FactsOf(const VARIANT& child, const Child** entry = nullptr) const;

  AccessibleFacts facts_;
  // Not held: a parent that goes first clears it in its children.
  AccessibleNode* parent_ = nullptr;
  std::vector<Child> children_;
};

}  // namespace vestrano::xlsim::win32
