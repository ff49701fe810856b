// The DLL's entry points: DllMain and the four exports through which COM and regsvr32 reach the
// in-process server. Nothing may unwind out of them into the loader, COM or Excel.
#include "addin/win32/class_factory.h"
#include "addin/win32/registration.h"
#include "addin/win32/this_module.h"
#include "addin/win32/vestrano_ids.h"
#include "host/win32/com_guard.h"
#include "host/win32/module_refs.h"
#include "host/win32/win32_diagnostics.h"
#include "host/win32/win32_platform.h"

// The add-in runs only on Excel's user-interface thread and keeps no thread_local state, so the
// per-thread notifications for the threads of the rest of Excel would be wasted work.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) noexcept {
  if (reason == DLL_PROCESS_ATTACH) {
    vestrano::win32::SetThisModule(instance);
    // Only a pointer is stored: nothing here may call into other DLLs under the loader lock.
    vestrano::win32::InstallWin32Diagnostics();
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
    // Unloaded by FreeLibrary while the process goes on: no adapter may keep a window class,
    // timer or hook pointing into this module. At process exit there is nothing to give back.
    try {
      vestrano::win32::UninstallWin32Platform();
    } catch (...) {
    }
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* ppv) noexcept {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (clsid != vestrano::win32::kClsidVestranov3) return CLASS_E_CLASSNOTAVAILABLE;
  return vestrano::win32::CreateVestranov3Factory(iid, ppv);
}

// Once nothing of the DLL is in use, the platform adapters go too: COM may unload the DLL right
// after this answers S_OK.
STDAPI DllCanUnloadNow() noexcept {
  return vestrano::win32::GuardedHresult("DllCanUnloadNow", [] {
    if (!vestrano::win32::ModuleIsIdle()) return S_FALSE;
    vestrano::win32::UninstallWin32Platform();
    return S_OK;
  });
}

STDAPI DllRegisterServer() noexcept {
  return vestrano::win32::RegisterServer(vestrano::win32::ThisModule());
}

STDAPI DllUnregisterServer() noexcept {
  return vestrano::win32::UnregisterServer(vestrano::win32::ThisModule());
}
