// Registration for the current user, and for the machine too when regsvr32 runs elevated. The
// class keys go to the registry view of this DLL's own bitness (on 64-bit Windows,
// Software\Classes\CLSID is kept apart for 32-bit processes, so that 32-bit Excel finds the 32-bit
// DLL and 64-bit Excel the 64-bit one); the ProgID key and Excel's add-in record are in keys both
// views share, so the 32-bit and the 64-bit registration share them too.
#include "addin/win32/registration.h"

#include <string>
#include <string_view>
#include <vector>

#include "addin/win32/type_library_registration.h"
#include "addin/win32/vestrano_ids.h"
#include "host/diagnostics.h"
#include "host/win32/com_guard.h"
#include "host/win32/module_path.h"
#include "host/win32/process_elevation.h"
#include "host/win32/registry_edit.h"
#include "host/win32/wide_text.h"

namespace vestrano::win32 {
namespace {

#ifdef _WIN64
constexpr REGSAM kClassView = KEY_WOW64_64KEY;
constexpr REGSAM kOtherClassView = KEY_WOW64_32KEY;
#else
constexpr REGSAM kClassView = KEY_WOW64_32KEY;
constexpr REGSAM kOtherClassView = KEY_WOW64_64KEY;
#endif
constexpr REGSAM kSharedView = 0;

constexpr wchar_t kProgId[] = L"ExcelOrlendix.Vestranov3";

std::wstring ClassKey() {
  return std::wstring(L"Software\\Classes\\CLSID\\") + kClsidText;
}
std::wstring ServerKey() {
  return ClassKey() + L"\\InprocServer32";
}
std::wstring ProgIdKey() {
  return std::wstring(L"Software\\Classes\\") + kProgId;
}
std::wstring AddinKey() {
  return std::wstring(L"Software\\Microsoft\\Office\\Excel\\Addins\\") + kProgId;
}

// The COM class, in this bitness's view.
std::vector<RegValue> ClassValues(const std::wstring& module_path) {
  const std::wstring clsid = ClassKey();
  return {
      {clsid, kClassView, nullptr, REG_SZ, L"Vestranov3", 0},
      {ServerKey(), kClassView, nullptr, REG_SZ, module_path, 0},
      {ServerKey(), kClassView, L"ThreadingModel", REG_SZ, L"Apartment", 0},
      {clsid + L"\\ProgID", kClassView, nullptr, REG_SZ, kProgId, 0},
  };
}

// Written only once the type library is registered, so that the class never names a library that
// is not there.
std::vector<RegValue> TypeLibValues() {
  return {{ClassKey() + L"\\TypeLib", kClassView, nullptr, REG_SZ, kLibidText, 0}};
}

std::vector<RegValue> ProgIdValues() {
  return {{ProgIdKey() + L"\\CLSID", kSharedView, nullptr, REG_SZ, kClsidText, 0}};
}

// Excel's add-in record. Written last, so that Excel never sees an add-in whose class is not
// there yet.
std::vector<RegValue> AddinValues() {
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
// belong to others (Software\Classes\CLSID, Excel's Addins key).
struct OwnedKey {
  std::wstring path;
  REGSAM view;
};
std::vector<OwnedKey> ClassKeys() {
  const std::wstring clsid = ClassKey();
  return {{clsid, kClassView},
          {ServerKey(), kClassView},
          {clsid + L"\\ProgID", kClassView},
          {clsid + L"\\TypeLib", kClassView}};
}
std::vector<OwnedKey> ProgIdKeys() {
  return {{ProgIdKey(), kSharedView}, {ProgIdKey() + L"\\CLSID", kSharedView}};
}
std::vector<OwnedKey> AddinKeys() {
  return {{AddinKey(), kSharedView}};
}

// Runs the edits of one registration or unregistration, reporting each that fails by its key.
class Edits {
 public:
  explicit Edits(std::string_view where) : where_(where) {}

  // Stops at the first value that cannot be written.
  bool Write(HKEY root, const std::vector<RegValue>& values) {
    for (const auto& value : values) {
      if (!Succeeded(WriteValue(root, value), "write", root, value.key)) return false;
    }
    return true;
  }
  void Delete(HKEY root, const std::vector<RegValue>& values) {
    for (auto it = values.rbegin(); it != values.rend(); ++it) {
      Succeeded(DeleteValue(root, *it), "remove a value of", root, it->key);
    }
  }
  void DeleteKeys(HKEY root, const std::vector<OwnedKey>& keys) {
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
      Succeeded(DeleteKeyIfEmpty(root, it->path, it->view), "remove", root, it->path);
    }
  }
  // False once any edit failed.
  bool AllSucceeded() const { return all_succeeded_; }

 private:
  bool Succeeded(LSTATUS status, const char* action, HKEY root, const std::wstring& key) {
    if (status == ERROR_SUCCESS) return true;
    all_succeeded_ = false;
    host::ReportFailure(where_, std::string("could not ") + action +
                                    (root == HKEY_LOCAL_MACHINE ? " HKLM\\" : " HKCU\\") +
                                    WideToUtf8(key) + ": error " + std::to_string(status));
    return false;
  }

  std::string_view where_;
  bool all_succeeded_ = true;
};

enum class ClassOwner { kNobody, kThisDll, kAnotherFile };

// Whose the class is in one view of a hive, by the file its InprocServer32 names. A later
// registration of another copy of the DLL points it elsewhere, and then it is that copy's.
ClassOwner OwnerOfClass(HKEY root, REGSAM view, const std::wstring& module_path) {
  const auto server = ReadDefaultPath(root, ServerKey(), view);
  if (!server || server->empty()) return ClassOwner::kNobody;
  return NamesSameFile(*server, module_path) ? ClassOwner::kThisDll : ClassOwner::kAnotherFile;
}

bool ClassRegisteredInEitherView(HKEY root) {
  const auto registered = [root](REGSAM view) {
    const auto server = ReadDefaultPath(root, ServerKey(), view);
    return server && !server->empty();
  };
  return registered(kClassView) || registered(kOtherClassView);
}

// Removes this DLL's class from one hive, unless another file has taken it over since, and then
// the keys that the classes of both bitnesses share, once neither view holds a class any more.
// Where the two views are one (32-bit Windows, Wine), the class just removed was the only one.
void RemoveRegistration(Edits& edits, HKEY root, const std::wstring& module_path) {
  if (OwnerOfClass(root, kClassView, module_path) != ClassOwner::kAnotherFile) {
    edits.Delete(root, TypeLibValues());
    edits.Delete(root, ClassValues(module_path));
    edits.DeleteKeys(root, ClassKeys());
  }
  if (ClassRegisteredInEitherView(root)) return;
  if (root == HKEY_CURRENT_USER) {
    edits.Delete(root, AddinValues());
    edits.DeleteKeys(root, AddinKeys());
  }
  edits.Delete(root, ProgIdValues());
  edits.DeleteKeys(root, ProgIdKeys());
}

// The class and its ProgID in the machine hive, for an elevated Excel. Not writing them fails
// nothing else: this user's own Excel has its registration either way.
void RegisterMachineCopy(Edits& edits, const std::wstring& module_path) {
  if (edits.Write(HKEY_LOCAL_MACHINE, ClassValues(module_path)) &&
      edits.Write(HKEY_LOCAL_MACHINE, ProgIdValues())) {
    return;
  }
  host::ReportFailure("DllRegisterServer",
                      "no machine-wide copy of the class: an elevated Excel will not find it");
  RemoveRegistration(edits, HKEY_LOCAL_MACHINE, module_path);
}

HRESULT Register(const std::wstring& module_path) {
  Edits edits("DllRegisterServer");
  if (!edits.Write(HKEY_CURRENT_USER, ClassValues(module_path)) ||
      !edits.Write(HKEY_CURRENT_USER, ProgIdValues())) {
    return SELFREG_E_CLASS;
  }
  // The type library only serves VBA and object browsers: its failure was reported, and the add-in
  // goes on being registered without it.
  if (RegisterTypeLibrary(module_path)) edits.Write(HKEY_CURRENT_USER, TypeLibValues());
  if (ProcessIsElevated().value_or(false)) RegisterMachineCopy(edits, module_path);
  return edits.Write(HKEY_CURRENT_USER, AddinValues()) ? S_OK : SELFREG_E_CLASS;
}

// A machine-wide copy is removed only when it is this DLL's; without administrator rights that
// fails, and the failure tells regsvr32's user to run it elevated.
HRESULT Unregister(const std::wstring& module_path) {
  Edits edits("DllUnregisterServer");
  UnregisterTypeLibrary(module_path);
  RemoveRegistration(edits, HKEY_CURRENT_USER, module_path);
  if (OwnerOfClass(HKEY_LOCAL_MACHINE, kClassView, module_path) == ClassOwner::kThisDll) {
    RemoveRegistration(edits, HKEY_LOCAL_MACHINE, module_path);
  }
  return edits.AllSucceeded() ? S_OK : SELFREG_E_CLASS;
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
