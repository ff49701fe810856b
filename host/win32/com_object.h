// The IUnknown of a COM object that offers one interface: its reference count and its
// QueryInterface. `Derived` may answer further IIDs with the same interface (a dispinterface's
// DIID, say) through a static `AlsoAnswers(REFIID)`.
#pragma once

#include "host/win32/windows_api.h"

namespace vestrano::win32 {

template <typename Derived, typename Interface>
class ComObject : public Interface {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != __uuidof(Interface) && !Derived::AlsoAnswers(iid)) {
      return E_NOINTERFACE;
    }
    *out = static_cast<Interface*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return InterlockedIncrement(&refs_); }
  ULONG STDMETHODCALLTYPE Release() noexcept override {
    const ULONG refs = InterlockedDecrement(&refs_);
    if (refs == 0) delete static_cast<Derived*>(this);
    return refs;
  }

 protected:
  static bool AlsoAnswers(REFIID) { return false; }

 private:
  LONG refs_ = 1;
};

}  // namespace vestrano::win32
