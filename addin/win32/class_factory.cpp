// IClassFactory for `Vestranov3`. LockServer holds the module's lock count, which keeps the DLL
// loaded between objects.
#include "addin/win32/class_factory.h"

#include <new>

#include "addin/win32/addin_object.h"
#include "host/win32/com_object.h"
#include "host/win32/module_refs.h"

namespace vestrano::win32 {
namespace {

class Vestranov3Factory final : public ComObject<Vestranov3Factory, IClassFactory> {
 public:
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid,
                                           void** out) noexcept override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return Vestranov3Object::Create(iid, out);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) noexcept override {
    if (lock) {
      AddLock();
    } else {
      ReleaseLock();
    }
    return S_OK;
  }

 private:
  ObjectRef module_ref_;
};

}  // namespace

HRESULT CreateVestranov3Factory(REFIID iid, void** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  auto* factory = new (std::nothrow) Vestranov3Factory();
  if (!factory) return E_OUTOFMEMORY;
  const HRESULT hr = factory->QueryInterface(iid, out);
  factory->Release();
  return hr;
}

}  // namespace vestrano::win32
