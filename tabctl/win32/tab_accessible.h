// The strip as screen readers see it: a page tab list whose children are page tabs named by
// their captions, with the selected state, the tooltip as description, a location, and a
// default action that clicks the tab. The window hands it out for WM_GETOBJECT and disconnects
// it when destroyed; a reader may hold it longer, and then gets failures, never a crash.
#pragma once

#include "host/win32/windows_api.h"

// After <windows.h>, which they build on.
#include <commctrl.h>
#include <oleacc.h>

#include "host/win32/com_object.h"
#include "host/win32/com_ptr.h"
#include "host/win32/module_refs.h"
#include "tabctl/tab_strip_model.h"

namespace vestrano::tabctl {

class TabStripWindow;

class TabAccessible final : public vestrano::win32::ComObject<TabAccessible, IAccessible> {
 public:
  static vestrano::win32::ComPtr<TabAccessible> Create(TabStripWindow* window, TabStripModel* model,
                                                       IUnknown* owner);
  static bool AlsoAnswers(REFIID iid) { return iid == IID_IDispatch; }
  void Disconnect() {
    window_ = nullptr;
    model_ = nullptr;
    owner_ = nullptr;
  }

  // IDispatch: readers use the vtable; nothing is offered by name.
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
  TabAccessible(TabStripWindow* window, TabStripModel* model, IUnknown* owner)
      : window_(window), model_(model), owner_(owner) {}
  // The 1-based child id that `child` names (0 for the list itself); -1 when it names nothing.
  LONG ChildOf(const VARIANT& child) const;

  vestrano::win32::ObjectRef module_ref_;
  TabStripWindow* window_;
  TabStripModel* model_;
  IUnknown* owner_;
};

}  // namespace vestrano::tabctl
