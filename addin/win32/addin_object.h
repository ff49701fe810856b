// The COM object of the add-in class `Vestranov3`: the Office connection interface, the ribbon's
// extensibility interface, and the dispatch interface whose members Office calls by name. One
// IDispatch implementation serves all three, so that Office finds the by-name members whichever
// pointer it asks.
#pragma once

#include "addin/addin.h"
#include "addin/win32/office_interfaces.h"
#include "host/win32/com_ptr.h"
#include "host/win32/module_refs.h"
#include "host/win32/win32_platform.h"

namespace vestrano::win32 {

class Vestranov3Object final : public IDTExtensibility2, public IRibbonExtensibility {
 public:
  // A new object, answered as `iid`.
  static HRESULT Create(REFIID iid, void** out) noexcept;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override;
  ULONG STDMETHODCALLTYPE Release() noexcept override;

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale,
                                        ITypeInfo** info) noexcept override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) noexcept override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* arg_error) noexcept override;

  // IDTExtensibility2
  HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* Application, ext_ConnectMode ConnectMode,
                                         IDispatch* AddInInst,
                                         SAFEARRAY** custom) noexcept override;
  HRESULT STDMETHODCALLTYPE OnDisconnection(ext_DisconnectMode RemoveMode,
                                            SAFEARRAY** custom) noexcept override;
  HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) noexcept override;
  HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) noexcept override;
  HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) noexcept override;

  // IRibbonExtensibility
  HRESULT STDMETHODCALLTYPE GetCustomUI(BSTR RibbonID, BSTR* RibbonXml) noexcept override;

 private:
  Vestranov3Object() = default;
  ~Vestranov3Object() = default;

  // The dispatch members, called from Invoke with their arguments in declaration order.
  HRESULT InvokeMember(DISPID id, WORD flags, const DISPPARAMS* params, VARIANT* result);
  HRESULT MoRibbon(WORD flags, const DISPPARAMS* params, VARIANT* result);
  HRESULT InvokeGetCustomUI(const DISPPARAMS* params, VARIANT* result);

  LONG refs_ = 1;
  ObjectRef module_ref_;
  // Held from connection to disconnection. Declared before the logic so that an object released
  // while connected disconnects (in the logic's destructor) before it lets the adapters go.
  Win32PlatformUse platform_;
  Vestranov3 addin_;
  // `moRibbon`: the ribbon UI object that Office hands to rxcustomUI_onLoad, until disconnection.
  ComPtr<IDispatch> moRibbon_;
};

}  // namespace vestrano::win32
