// RegisterTypeLibForUser and UnRegisterTypeLibForUser came with Vista, so they are looked up when
// needed rather than imported: an import that Windows XP lacks would keep the 32-bit DLL from
// loading at all.
#include "addin/win32/type_library_registration.h"

#include <cstdio>
#include <string>

#include "addin/win32/vestrano_ids.h"
#include "host/diagnostics.h"
#include "host/win32/com_ptr.h"
#include "host/win32/module_path.h"
#include "host/win32/variant.h"

namespace vestrano::win32 {
namespace {

using RegisterForUser = HRESULT(STDAPICALLTYPE*)(ITypeLib*, OLECHAR*, OLECHAR*);
using UnregisterForUser = HRESULT(STDAPICALLTYPE*)(REFGUID, WORD, WORD, LCID, SYSKIND);

template <typename Function>
Function OleAutomationFunction(const char* name) {
  // oleaut32 is already loaded: the DLL imports other functions from it.
  const HMODULE oleaut = GetModuleHandleW(L"oleaut32.dll");
  return oleaut ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(oleaut, name)))
                : nullptr;
}

ComPtr<ITypeLib> LoadOwnTypeLib(const std::wstring& module_path) {
  ComPtr<ITypeLib> typelib;
  if (FAILED(LoadTypeLibEx(module_path.c_str(), REGKIND_NONE, typelib.Put()))) return nullptr;
  return typelib;
}

std::string HresultText(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

void ReportNotRegistered(std::string_view why) {
  host::ReportFailure("DllRegisterServer",
                      std::string("the type library was not registered: ") + std::string(why));
}

// The library's identity as the embedded type library states it, so that exactly what was
// registered is removed; the build's own values when it cannot be read.
struct LibraryIdentity {
  GUID libid = kLibidExcelOrlendix;
  WORD major = kTypeLibMajor;
  WORD minor = kTypeLibMinor;
  LCID locale = 0;
#ifdef _WIN64
  SYSKIND syskind = SYS_WIN64;
#else
  SYSKIND syskind = SYS_WIN32;
#endif
};

LibraryIdentity IdentityOf(const std::wstring& module_path) {
  LibraryIdentity identity;
  if (auto typelib = LoadOwnTypeLib(module_path)) {
    TLIBATTR* attributes = nullptr;
    if (SUCCEEDED(typelib->GetLibAttr(&attributes)) && attributes) {
      identity.libid = attributes->guid;
      identity.major = attributes->wMajorVerNum;
      identity.minor = attributes->wMinorVerNum;
      identity.locale = attributes->lcid;
      identity.syskind = attributes->syskind;
      typelib->ReleaseTLibAttr(attributes);
    }
  }
  return identity;
}

}  // namespace

bool RegisterTypeLibrary(const std::wstring& module_path) {
  const auto register_for_user = OleAutomationFunction<RegisterForUser>("RegisterTypeLibForUser");
  if (!register_for_user) {
    ReportNotRegistered("this Windows has no RegisterTypeLibForUser");
    return false;
  }
  auto typelib = LoadOwnTypeLib(module_path);
  if (!typelib) {
    ReportNotRegistered("the DLL's TYPELIB resource would not load");
    return false;
  }
  std::wstring path = module_path;
  const HRESULT hr = register_for_user(typelib.Get(), path.data(), nullptr);
  if (FAILED(hr)) ReportNotRegistered("RegisterTypeLibForUser failed with " + HresultText(hr));
  return SUCCEEDED(hr);
}

void UnregisterTypeLibrary(const std::wstring& module_path) {
  const auto unregister_for_user =
      OleAutomationFunction<UnregisterForUser>("UnRegisterTypeLibForUser");
  if (!unregister_for_user) return;  // then nothing can have been registered
  const LibraryIdentity identity = IdentityOf(module_path);
  UniqueBstr registered;
  if (FAILED(QueryPathOfRegTypeLib(identity.libid, identity.major, identity.minor, identity.locale,
                                   registered.Put()))) {
    return;  // not registered, which is the state wanted
  }
  // Up to the first null: the path may come back with its terminating null counted in its length.
  if (!NamesSameFile(std::wstring(registered.Get() ? registered.Get() : L""), module_path)) return;
  const HRESULT hr = unregister_for_user(identity.libid, identity.major, identity.minor,
                                         identity.locale, identity.syskind);
  if (FAILED(hr)) {
    host::ReportFailure("DllUnregisterServer",
                        "UnRegisterTypeLibForUser failed with " + HresultText(hr));
  }
}

}  // namespace vestrano::win32
