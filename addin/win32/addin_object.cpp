// The add-in object's lifetime and its connection and ribbon interfaces through the vtable.
// Nothing thrown by the logic may reach Office: each method turns it into an HRESULT.
#include "addin/win32/addin_object.h"

#include "addin/win32/startup.h"
#include "addin/win32/this_module.h"
#include "addin/win32/vestrano_ids.h"
#include "dialogs/win32/win32_dialogs.h"
#include "host/win32/com_guard.h"
#include "host/win32/variant.h"
#include "host/win32/win32_excel.h"
#include "tabbar/win32/tab_strip_client.h"

namespace vestrano::win32 {
HRESULT Vestranov3Object::Create(REFIID iid, void** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  // Before the first object: the tab bar it connects may need the module this installs.
  RunStartupOnce();
  return GuardedHresult("creating the add-in", [&] {
    auto* object = new Vestranov3Object();
    const HRESULT hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
  });
}

HRESULT Vestranov3Object::QueryInterface(REFIID iid, void** out) noexcept {
  if (!out) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IDTExtensibility2) ||
      iid == kDiidVestranov3) {
    *out = static_cast<IDTExtensibility2*>(this);
  } else if (iid == __uuidof(IRibbonExtensibility)) {
    *out = static_cast<IRibbonExtensibility*>(this);
  } else {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG Vestranov3Object::AddRef() noexcept {
  return InterlockedIncrement(&refs_);
}

ULONG Vestranov3Object::Release() noexcept {
  const ULONG refs = InterlockedDecrement(&refs_);
  // The logic's destructor disconnects an add-in released while still connected.
  if (refs == 0) delete this;
  return refs;
}

HRESULT Vestranov3Object::OnConnection(IDispatch* Application, ext_ConnectMode ConnectMode,
                                       IDispatch* /*AddInInst*/, SAFEARRAY** /*custom*/) noexcept {
  return GuardedHresult("OnConnection", [&] {
    platform_.Acquire(
        ThisModule(),
        [] {
          return std::unique_ptr<host::IControlFactory>(
              new TabStripControlFactory(TabStripModuleFile()));
        },
        [](HINSTANCE module) { return std::unique_ptr<host::IDialogs>(new Win32Dialogs(module)); });
    addin_.AddinInstance_OnConnection(MakeWin32Application(ComPtr<IDispatch>(Application)),
                                      static_cast<int>(ConnectMode));
    return S_OK;
  });
}

HRESULT Vestranov3Object::OnDisconnection(ext_DisconnectMode /*RemoveMode*/,
                                          SAFEARRAY** /*custom*/) noexcept {
  const HRESULT hr = GuardedHresult("OnDisconnection", [&] {
    addin_.AddinInstance_OnDisconnection();
    return S_OK;
  });
  // Office's ribbon object goes with the connection: an add-in object that Office or a VBA
  // reference keeps after it must not keep the ribbon, and Office with it, alive too.
  moRibbon_.Reset();
  // Here, on Excel's thread, and not when COM asks whether the DLL may go.
  platform_.Release();
  return hr;
}

HRESULT Vestranov3Object::OnAddInsUpdate(SAFEARRAY** /*custom*/) noexcept {
  return S_OK;
}
HRESULT Vestranov3Object::OnStartupComplete(SAFEARRAY** /*custom*/) noexcept {
  return S_OK;
}
HRESULT Vestranov3Object::OnBeginShutdown(SAFEARRAY** /*custom*/) noexcept {
  return S_OK;
}

// The same markup for every ribbon id: Excel asks for one.
HRESULT Vestranov3Object::GetCustomUI(BSTR /*RibbonID*/, BSTR* RibbonXml) noexcept {
  if (!RibbonXml) return E_POINTER;
  *RibbonXml = nullptr;
  return GuardedHresult("GetCustomUI", [&] {
    UniqueBstr xml = UniqueBstr::FromUtf8(addin_.GetRibbonXML());
    if (!xml.Get()) return E_OUTOFMEMORY;
    *RibbonXml = xml.Detach();
    return S_OK;
  });
}

}  // namespace vestrano::win32
