// The DLL's entry points: DllMain and the four exports through which COM and regsvr32 reach the
// in-process server. Nothing may unwind out of them into the loader, COM or Excel.
#include <windows.h>

#include <objbase.h>
#include <olectl.h>

#include <new>

namespace {

// This DLL's own handle, which registration needs for the module path and the resources.
HMODULE g_module = nullptr;

// Turns anything thrown by an export's body into an HRESULT for the caller.
template <typename Body>
HRESULT Guarded(Body body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

}  // namespace

// The add-in runs only on Excel's user-interface thread and keeps no thread_local state, so the
// per-thread notifications for the threads of the rest of Excel would be wasted work.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) noexcept {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID /*clsid*/, REFIID /*iid*/, LPVOID* ppv) noexcept {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  return Guarded([] { return CLASS_E_CLASSNOTAVAILABLE; });
}

STDAPI DllCanUnloadNow() noexcept {
  return Guarded([] { return S_OK; });
}

STDAPI DllRegisterServer() noexcept {
  return Guarded([] { return S_OK; });
}

STDAPI DllUnregisterServer() noexcept {
  return Guarded([] { return S_OK; });
}
