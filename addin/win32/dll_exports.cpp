// The DLL's entry points: DllMain and the four exports through which COM and regsvr32 reach the
// in-process server. Nothing may unwind out of them into the loader, COM or Excel.
#include "addin/win32/class_factory.h"
#include "addin/win32/registration.h"
#include "addin/win32/this_module.h"
#include "addin/win32/vestrano_ids.h"
#include "host/win32/module_refs.h"
#include "host/win32/win32_diagnostics.h"

// The add-in runs only on Excel's user-interface thread and keeps no thread_local state, so the
// per-thread notifications for the threads of the rest of Excel would be wasted work.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) noexcept {
  if (reason == DLL_PROCESS_ATTACH) {
    vestrano::win32::SetThisModule(instance);
    // Only a pointer is stored: nothing here may call into other DLLs under the loader lock.
    vestrano::win32::InstallWin32Diagnostics();
    DisableThreadLibraryCalls(instance);
  }
  // Nothing to give back at DLL_PROCESS_DETACH: the last add-in object took the adapters down
  // on Excel's thread, and COM unloads the DLL only after that. At process exit whatever is
  // still installed goes with the process.
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* ppv) noexcept {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (clsid != vestrano::win32::kClsidVestranov3) return CLASS_E_CLASSNOTAVAILABLE;
  return vestrano::win32::CreateVestranov3Factory(iid, ppv);
}

// COM may ask from any thread: the answer comes from the counts alone.
STDAPI DllCanUnloadNow() noexcept {
  return vestrano::win32::ModuleIsIdle() ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() noexcept {
  return vestrano::win32::RegisterServer(vestrano::win32::ThisModule());
}

STDAPI DllUnregisterServer() noexcept {
  return vestrano::win32::UnregisterServer(vestrano::win32::ThisModule());
}
