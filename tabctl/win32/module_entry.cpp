// The entry points of the module Zandrelix.ocx: DllMain, the class factory of the tab strip,
// and self-registration of the class for the current user, and for the machine too when
// regsvr32 runs elevated. The class goes to the registry view of the module's own bitness, so
// that 32-bit and 64-bit Excel each find the module they can load; its ProgID key is shared by
// both views. Unregistration removes only what names this same file.
#include <new>
#include <string>
#include <vector>

#include "host/win32/com_guard.h"
#include "host/win32/com_object.h"
#include "host/win32/module_path.h"
#include "host/win32/module_refs.h"
#include "host/win32/process_elevation.h"
#include "host/win32/registry_edit.h"
#include "host/win32/win32_diagnostics.h"
#include "tabctl/win32/tab_strip_object.h"
#include "tabctl/win32/tab_strip_window.h"
#include "tabctl/win32/zandrelix_api.h"

namespace vestrano::tabctl {
namespace {

using vestrano::win32::ComObject;

constinit HINSTANCE g_module = nullptr;

#ifdef _WIN64
constexpr REGSAM kClassView = KEY_WOW64_64KEY;
constexpr REGSAM kOtherClassView = KEY_WOW64_32KEY;
#else
constexpr REGSAM kClassView = KEY_WOW64_32KEY;
constexpr REGSAM kOtherClassView = KEY_WOW64_64KEY;
#endif

class TabStripFactory final : public ComObject<TabStripFactory, IClassFactory> {
 public:
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid,
                                           void** out) noexcept override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return CreateTabStrip(g_module, iid, out);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) noexcept override {
    if (lock) {
      vestrano::win32::AddLock();
    } else {
      vestrano::win32::ReleaseLock();
    }
    return S_OK;
  }

 private:
  vestrano::win32::ObjectRef module_ref_;
};

std::wstring ClassKey() {
  return std::wstring(L"Software\\Classes\\CLSID\\") + kTabStripClsidText;
}
std::wstring ServerKey() {
  return ClassKey() + L"\\InprocServer32";
}
std::wstring ProgIdKey() {
  return std::wstring(L"Software\\Classes\\") + kTabStripProgId;
}

std::vector<vestrano::win32::RegValue> ClassValues(const std::wstring& path) {
  return {
      {ClassKey(), kClassView, nullptr, REG_SZ, L"Vestrano tab strip", 0},
      {ServerKey(), kClassView, nullptr, REG_SZ, path, 0},
      {ServerKey(), kClassView, L"ThreadingModel", REG_SZ, L"Apartment", 0},
      {ClassKey() + L"\\ProgID", kClassView, nullptr, REG_SZ, kTabStripProgId, 0},
  };
}
std::vector<vestrano::win32::RegValue> ProgIdValues() {
  return {{ProgIdKey() + L"\\CLSID", 0, nullptr, REG_SZ, kTabStripClsidText, 0}};
}

void DeleteClassKeys(HKEY root, REGSAM view) {
  for (const auto& value : ClassValues({})) {
    vestrano::win32::DeleteValue(root, {value.key, view, value.name, value.type, {}, 0});
  }
  vestrano::win32::DeleteKeyIfEmpty(root, ClassKey() + L"\\ProgID", view);
  vestrano::win32::DeleteKeyIfEmpty(root, ServerKey(), view);
  vestrano::win32::DeleteKeyIfEmpty(root, ClassKey(), view);
}

bool ClassNamesThisFile(HKEY root, REGSAM view, const std::wstring& path) {
  const auto named = vestrano::win32::ReadDefaultPath(root, ServerKey(), view);
  return named && vestrano::win32::NamesSameFile(*named, path);
}

bool ClassRegistered(HKEY root, REGSAM view) {
  return vestrano::win32::ReadDefaultPath(root, ServerKey(), view).has_value();
}

// Removes this file's class from one hive, and the ProgID once neither view holds a class;
// false when the class still names this file afterwards.
bool UnregisterFrom(HKEY root, const std::wstring& path) {
  if (ClassNamesThisFile(root, kClassView, path)) DeleteClassKeys(root, kClassView);
  if (ClassRegistered(root, kClassView)) return true;  // another copy's class: its ProgID stays
  if (!ClassRegistered(root, kOtherClassView)) {
    for (const auto& value : ProgIdValues()) vestrano::win32::DeleteValue(root, value);
    vestrano::win32::DeleteKeyIfEmpty(root, ProgIdKey() + L"\\CLSID", 0);
    vestrano::win32::DeleteKeyIfEmpty(root, ProgIdKey(), 0);
  }
  return !ClassNamesThisFile(root, kClassView, path);
}

// A machine-wide copy goes only with its own file, and needs administrator rights to go.
HRESULT Unregister() {
  const std::wstring path = vestrano::win32::ModulePath(g_module);
  if (path.empty()) return E_FAIL;
  const bool user = UnregisterFrom(HKEY_CURRENT_USER, path);
  const bool machine = UnregisterFrom(HKEY_LOCAL_MACHINE, path);
  return user && machine ? S_OK : E_FAIL;
}

// Elevated processes, an elevated Excel among them, see only the machine's classes: an elevated
// regsvr32 registers the class there too, and fails when it cannot.
HRESULT Register() {
  const std::wstring path = vestrano::win32::ModulePath(g_module);
  if (path.empty()) return E_FAIL;
  std::vector<vestrano::win32::RegValue> values = ClassValues(path);
  for (auto& value : ProgIdValues()) values.push_back(value);
  std::vector<HKEY> roots{HKEY_CURRENT_USER};
  if (vestrano::win32::ProcessIsElevated().value_or(false)) roots.push_back(HKEY_LOCAL_MACHINE);
  for (const HKEY root : roots) {
    for (const auto& value : values) {
      if (vestrano::win32::WriteValue(root, value) != ERROR_SUCCESS) {
        Unregister();
        return SELFREG_E_CLASS;
      }
    }
  }
  return S_OK;
}

}  // namespace
}  // namespace vestrano::tabctl

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) noexcept {
  if (reason == DLL_PROCESS_ATTACH) {
    vestrano::tabctl::g_module = instance;
    vestrano::win32::InstallWin32Diagnostics();
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* ppv) noexcept {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (clsid != vestrano::tabctl::kClsidTabStrip) return CLASS_E_CLASSNOTAVAILABLE;
  auto* factory = new (std::nothrow) vestrano::tabctl::TabStripFactory();
  if (!factory) return E_OUTOFMEMORY;
  const HRESULT hr = factory->QueryInterface(iid, ppv);
  factory->Release();
  return hr;
}

// Idle once no object or lock is left; the window class went with the last strip.
STDAPI DllCanUnloadNow() noexcept {
  return vestrano::win32::ModuleIsIdle() && !vestrano::tabctl::TabStripWindow::ClassInUse()
             ? S_OK
             : S_FALSE;
}

STDAPI DllRegisterServer() noexcept {
  return vestrano::win32::GuardedHresult("registering the tab strip",
                                         [] { return vestrano::tabctl::Register(); });
}

STDAPI DllUnregisterServer() noexcept {
  return vestrano::win32::GuardedHresult("unregistering the tab strip",
                                         [] { return vestrano::tabctl::Unregister(); });
}
