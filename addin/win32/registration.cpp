// Registration under HKEY_CURRENT_USER. The class keys go to the registry view of this DLL's own
// bitness (on 64-bit Windows, HKCU\Software\Classes\CLSID is kept apart for 32-bit processes, so
// that 32-bit Excel finds the 32-bit DLL and 64-bit Excel the 64-bit one); the ProgID key and
// Excel's Addins key are shared by both views.
#include "addin/win32/registration.h"

#include <string>
#include <vector>

#include "addin/win32/vestrano_ids.h"
#include "host/win32/com_guard.h"
#include "host/win32/com_ptr.h"
#include "host/win32/win32_handles.h"

// Present in oleaut32 since Vista but missing from mingw-w64's oleauto.h.
WINOLEAUTAPI RegisterTypeLibForUser(ITypeLib* typelib, OLECHAR* full_path, OLECHAR* help_dir);
WINOLEAUTAPI UnRegisterTypeLibForUser(REFGUID libid, WORD major, WORD minor, LCID locale,
                                      SYSKIND syskind);

namespace vestrano::win32 {
namespace {

#ifdef _WIN64
constexpr REGSAM kClassView = KEY_WOW64_64KEY;
#else
constexpr REGSAM kClassView = KEY_WOW64_32KEY;
#endif
constexpr REGSAM kSharedView = 0;

constexpr wchar_t kProgId[] = L"ExcelOrlendix.Vestranov3";

struct Value {
  std::wstring key;  // under HKEY_CURRENT_USER
  REGSAM view;
  const wchar_t* name;  // nullptr: the key's default value
  DWORD type;
  std::wstring text;  // for REG_SZ
  DWORD number;       // for REG_DWORD
};

std::wstring ClassKey() {
  return std::wstring(L"Software\\Classes\\CLSID\\") + kClsidText;
}
std::wstring ProgIdKey() {
  return std::wstring(L"Software\\Classes\\") + kProgId;
}
std::wstring AddinKey() {
  return std::wstring(L"Software\\Microsoft\\Office\\Excel\\Addins\\") + kProgId;
}

// The COM class and its ProgID.
std::vector<Value> ClassValues(const std::wstring& module_path) {
  const std::wstring clsid = ClassKey();
  return {
      {clsid, kClassView, nullptr, REG_SZ, L"Vestranov3", 0},
      {clsid + L"\\InprocServer32", kClassView, nullptr, REG_SZ, module_path, 0},
      {clsid + L"\\InprocServer32", kClassView, L"ThreadingModel", REG_SZ, L"Apartment", 0},
      {clsid + L"\\ProgID", kClassView, nullptr, REG_SZ, kProgId, 0},
      {clsid + L"\\TypeLib", kClassView, nullptr, REG_SZ, kLibidText, 0},
      {ProgIdKey() + L"\\CLSID", kSharedView, nullptr, REG_SZ, kClsidText, 0},
  };
}

// Excel's add-in record. Written last, so that Excel never sees an add-in whose class is not
// there yet.
std::vector<Value> AddinValues() {
  const std::wstring addin = AddinKey();
  return {
      {addin, kSharedView, L"FriendlyName", REG_SZ, L"Vestrano v3.0", 0},
      {addin, kSharedView, L"Description", REG_SZ,
       L"the ComAdding of Orlendixs for Microsoft Excel ", 0},
      {addin, kSharedView, L"LoadBehavior", REG_DWORD, L"", 3},
      {addin, kSharedView, L"CommandLineSafe", REG_DWORD, L"", 0},
  };
}

// The keys registration creates, parents before children; never their parents, which may
// belong to others (HKCU\Software\Classes\CLSID, Excel's Addins key).
struct OwnedKey {
  std::wstring path;
  REGSAM view;
};
std::vector<OwnedKey> OwnedKeys() {
  const std::wstring clsid = ClassKey();
  return {
      {clsid, kClassView},
      {clsid + L"\\InprocServer32", kClassView},
      {clsid + L"\\ProgID", kClassView},
      {clsid + L"\\TypeLib", kClassView},
      {ProgIdKey(), kSharedView},
      {ProgIdKey() + L"\\CLSID", kSharedView},
      {AddinKey(), kSharedView},
  };
}

std::wstring ModulePath(HMODULE module) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

LSTATUS WriteValue(const Value& value) {
  UniqueHkey key;
  LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, value.key.c_str(), 0, nullptr, 0,
                                   KEY_SET_VALUE | value.view, nullptr, key.Put(), nullptr);
  if (status != ERROR_SUCCESS) return status;
  if (value.type == REG_DWORD) {
    return RegSetValueExW(key.Get(), value.name, 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&value.number), sizeof(value.number));
  }
  const auto bytes = static_cast<DWORD>((value.text.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(key.Get(), value.name, 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(value.text.c_str()), bytes);
}

LSTATUS DeleteValue(const Value& value) {
  UniqueHkey key;
  LSTATUS status =
      RegOpenKeyExW(HKEY_CURRENT_USER, value.key.c_str(), 0, KEY_SET_VALUE | value.view, key.Put());
  if (status == ERROR_SUCCESS) status = RegDeleteValueW(key.Get(), value.name);
  return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

// Deletes the key when it has neither subkeys nor values left.
LSTATUS DeleteKeyIfEmpty(const OwnedKey& owned) {
  DWORD subkeys = 0;
  DWORD values = 0;
  {
    UniqueHkey key;
    const LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, owned.path.c_str(), 0,
                                         KEY_QUERY_VALUE | owned.view, key.Put());
    if (status == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
    if (status != ERROR_SUCCESS) return status;
    const LSTATUS info = RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr,
                                          nullptr, &values, nullptr, nullptr, nullptr, nullptr);
    if (info != ERROR_SUCCESS) return info;
  }
  if (subkeys != 0 || values != 0) return ERROR_SUCCESS;
  const LSTATUS status = RegDeleteKeyExW(HKEY_CURRENT_USER, owned.path.c_str(), owned.view, 0);
  return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

ComPtr<ITypeLib> LoadOwnTypeLib(const std::wstring& module_path) {
  ComPtr<ITypeLib> typelib;
  if (FAILED(LoadTypeLibEx(module_path.c_str(), REGKIND_NONE, typelib.Put()))) return nullptr;
  return typelib;
}

HRESULT RegisterTypeLibrary(const std::wstring& module_path) {
  auto typelib = LoadOwnTypeLib(module_path);
  if (!typelib) return SELFREG_E_TYPELIB;
  std::wstring path = module_path;
  return SUCCEEDED(RegisterTypeLibForUser(typelib.Get(), path.data(), nullptr)) ? S_OK
                                                                                : SELFREG_E_TYPELIB;
}

// The library's identity as the embedded type library states it, so that exactly what was
// registered is removed; the build's own values when it cannot be read.
void UnregisterTypeLibrary(const std::wstring& module_path) {
  GUID libid = kLibidExcelOrlendix;
  WORD major = kTypeLibMajor;
  WORD minor = kTypeLibMinor;
  LCID locale = 0;
#ifdef _WIN64
  SYSKIND syskind = SYS_WIN64;
#else
  SYSKIND syskind = SYS_WIN32;
#endif
  if (auto typelib = LoadOwnTypeLib(module_path)) {
    TLIBATTR* attributes = nullptr;
    if (SUCCEEDED(typelib->GetLibAttr(&attributes)) && attributes) {
      libid = attributes->guid;
      major = attributes->wMajorVerNum;
      minor = attributes->wMinorVerNum;
      locale = attributes->lcid;
      syskind = attributes->syskind;
      typelib->ReleaseTLibAttr(attributes);
    }
  }
  // Not being registered is the state wanted, so the result does not matter.
  UnRegisterTypeLibForUser(libid, major, minor, locale, syskind);
}

bool WriteAll(const std::vector<Value>& values) {
  for (const auto& value : values) {
    if (WriteValue(value) != ERROR_SUCCESS) return false;
  }
  return true;
}

bool DeleteAll(const std::vector<Value>& values) {
  bool deleted = true;
  for (auto it = values.rbegin(); it != values.rend(); ++it) {
    if (DeleteValue(*it) != ERROR_SUCCESS) deleted = false;
  }
  return deleted;
}

HRESULT Register(const std::wstring& module_path) {
  if (!WriteAll(ClassValues(module_path))) return SELFREG_E_CLASS;
  if (const HRESULT hr = RegisterTypeLibrary(module_path); FAILED(hr)) return hr;
  return WriteAll(AddinValues()) ? S_OK : SELFREG_E_CLASS;
}

HRESULT Unregister(const std::wstring& module_path) {
  bool removed = DeleteAll(AddinValues());
  UnregisterTypeLibrary(module_path);
  removed = DeleteAll(ClassValues(module_path)) && removed;
  const auto keys = OwnedKeys();
  for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
    if (DeleteKeyIfEmpty(*it) != ERROR_SUCCESS) removed = false;
  }
  return removed ? S_OK : SELFREG_E_CLASS;
}

}  // namespace

HRESULT RegisterServer(HMODULE module) noexcept {
  return GuardedHresult("DllRegisterServer", [&] {
    const std::wstring module_path = ModulePath(module);
    if (module_path.empty()) return SELFREG_E_CLASS;
    const HRESULT result = Register(module_path);
    if (FAILED(result)) Unregister(module_path);
    return result;
  });
}

HRESULT UnregisterServer(HMODULE module) noexcept {
  return GuardedHresult("DllUnregisterServer", [&] {
    const std::wstring module_path = ModulePath(module);
    if (module_path.empty()) return SELFREG_E_CLASS;
    return Unregister(module_path);
  });
}

}  // namespace vestrano::win32
