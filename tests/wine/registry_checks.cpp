// Registration checks against the registry itself.
#include "tests/wine/registry_checks.h"

#include <vector>

#include "addin/win32/vestrano_ids.h"
#include "host/win32/win32_handles.h"

namespace wine_test {
namespace {

using vestrano::win32::UniqueHkey;

// The process and thread handles of regsvr32, which only this test starts.
struct KernelHandleTraits {
  using Type = HANDLE;
  static HANDLE Empty() { return nullptr; }
  static BOOL Close(HANDLE handle) { return handle ? CloseHandle(handle) : FALSE; }
};
using UniqueKernelHandle = vestrano::UniqueHandle<KernelHandleTraits>;

using vestrano::win32::kClsidText;
using vestrano::win32::kLibidText;

const std::wstring kClassKey = std::wstring(L"Software\\Classes\\CLSID\\") + kClsidText;
const std::wstring kProgIdKey = L"Software\\Classes\\ExcelOrlendix.Vestranov3";
const std::wstring kAddinsKey = L"Software\\Microsoft\\Office\\Excel\\Addins";
const std::wstring kAddinKey = kAddinsKey + L"\\ExcelOrlendix.Vestranov3";
const std::wstring kOtherAddinKey = kAddinsKey + L"\\WineTest.OtherAddin";

std::optional<DWORD> ReadDword(HKEY root, const std::wstring& path, const wchar_t* name) {
  DWORD value = 0;
  DWORD size = sizeof(value);
  DWORD type = 0;
  if (RegGetValueW(root, path.c_str(), name, RRF_RT_ANY, &type, &value, &size) != ERROR_SUCCESS ||
      type != REG_DWORD) {
    return std::nullopt;
  }
  return value;
}

void CheckString(Checks& checks, const std::wstring& path, const wchar_t* name,
                 const std::wstring& expected, REGSAM view = 0, bool ignore_case = false) {
  const auto value = ReadString(HKEY_CURRENT_USER, path, name, view);
  const bool ok = value && (ignore_case ? CompareStringOrdinal(value->c_str(), -1, expected.c_str(),
                                                               -1, TRUE) == CSTR_EQUAL
                                        : *value == expected);
  checks.Check(ok,
               Format("HKCU\\%s %s = \"%s\"", Narrow(path).c_str(),
                      name ? Narrow(name).c_str() : "(default)", Narrow(expected).c_str()),
               value ? "found \"" + Narrow(*value) + "\"" : "missing or not REG_SZ");
}

void CheckDword(Checks& checks, const std::wstring& path, const wchar_t* name, DWORD expected) {
  const auto value = ReadDword(HKEY_CURRENT_USER, path, name);
  checks.Check(
      value && *value == expected,
      Format("HKCU\\%s %s = %lu (REG_DWORD)", Narrow(path).c_str(), Narrow(name).c_str(),
             static_cast<unsigned long>(expected)),
      value ? Format("found %lu", static_cast<unsigned long>(*value)) : "missing or not REG_DWORD");
}

bool CopyTree(const std::wstring& path, REGSAM view) {
  UniqueHkey source;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ | view, source.Put()) !=
      ERROR_SUCCESS) {
    return false;
  }
  UniqueHkey target;
  LSTATUS status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0,
                                   KEY_ALL_ACCESS | view, nullptr, target.Put(), nullptr);
  if (status == ERROR_SUCCESS) status = RegCopyTreeW(source.Get(), nullptr, target.Get());
  return status == ERROR_SUCCESS;
}

bool DeleteTree(HKEY root, const std::wstring& path, REGSAM view) {
  const auto split = path.rfind(L'\\');
  UniqueHkey parent;
  if (RegOpenKeyExW(root, path.substr(0, split).c_str(), 0, KEY_ALL_ACCESS | view, parent.Put()) !=
      ERROR_SUCCESS) {
    return false;
  }
  const std::wstring leaf = path.substr(split + 1);
  LSTATUS status = RegDeleteTreeW(parent.Get(), leaf.c_str());
  if (status == ERROR_SUCCESS) status = RegDeleteKeyExW(parent.Get(), leaf.c_str(), view, 0);
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

}  // namespace

REGSAM OwnView() {
  return sizeof(void*) == 8 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
}
REGSAM OtherView() {
  return sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
}

std::optional<std::wstring> ReadString(HKEY root, const std::wstring& path, const wchar_t* name,
                                       REGSAM view) {
  UniqueHkey key;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE | view, key.Put()) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::vector<wchar_t> buffer(1024, L'\0');
  DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  DWORD type = 0;
  const LSTATUS status = RegQueryValueExW(key.Get(), name, nullptr, &type,
                                          reinterpret_cast<BYTE*>(buffer.data()), &size);
  if (status != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
  std::wstring value(buffer.data(), size / sizeof(wchar_t));
  while (!value.empty() && value.back() == L'\0') value.pop_back();
  return value;
}

bool KeyExists(HKEY root, const std::wstring& path, REGSAM view) {
  UniqueHkey key;
  return RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, key.Put()) == ERROR_SUCCESS;
}

std::optional<DWORD> RunRegsvr32(const std::wstring& dll_path, bool unregister) {
  std::wstring command =
      std::wstring(L"regsvr32.exe /s ") + (unregister ? L"/u " : L"") + L"\"" + dll_path + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return std::nullopt;
  }
  const UniqueKernelHandle thread(process.hThread);
  const UniqueKernelHandle handle(process.hProcess);
  WaitForSingleObject(handle.Get(), 60000);
  DWORD exit_code = STILL_ACTIVE;
  GetExitCodeProcess(handle.Get(), &exit_code);
  return exit_code;
}

void PlantOtherAddin() {
  UniqueHkey key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kOtherAddinKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                      key.Put(), nullptr) == ERROR_SUCCESS) {
    const DWORD load = 3;
    RegSetValueExW(key.Get(), L"LoadBehavior", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&load),
                   sizeof(load));
  }
}

void RemoveOtherAddin() {
  DeleteTree(HKEY_CURRENT_USER, kOtherAddinKey, 0);
}

void CheckRegistered(Checks& checks, const std::wstring& dll_path) {
  CheckString(checks, kClassKey, nullptr, L"Vestranov3", OwnView());
  CheckString(checks, kClassKey + L"\\InprocServer32", nullptr, dll_path, OwnView(), true);
  CheckString(checks, kClassKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment", OwnView());
  CheckString(checks, kClassKey + L"\\ProgID", nullptr, L"ExcelOrlendix.Vestranov3", OwnView());
  CheckString(checks, kClassKey + L"\\TypeLib", nullptr, kLibidText, OwnView());
  CheckString(checks, kProgIdKey + L"\\CLSID", nullptr, kClsidText);
  CheckString(checks, kAddinKey, L"FriendlyName", L"Vestrano v3.0");
  CheckString(checks, kAddinKey, L"Description",
              L"the ComAdding of Orlendixs for Microsoft Excel ");
  CheckDword(checks, kAddinKey, L"LoadBehavior", 3);
  CheckDword(checks, kAddinKey, L"CommandLineSafe", 0);
  if (RunningUnderWine()) {
    checks.Info(
        "Wine keeps one view of HKCU\\Software\\Classes\\CLSID: the check that the class "
        "is absent from the other bitness's view runs on Windows only");
  } else {
    checks.Check(!KeyExists(HKEY_CURRENT_USER, kClassKey, OtherView()),
                 "the class key is only in this bitness's registry view");
  }
}

void CheckUnregistered(Checks& checks) {
  checks.Check(!KeyExists(HKEY_CURRENT_USER, kClassKey, OwnView()) &&
                   !KeyExists(HKEY_CURRENT_USER, kClassKey, OtherView()),
               "unregistration removed HKCU\\Software\\Classes\\CLSID\\{clsid}");
  checks.Check(!KeyExists(HKEY_CURRENT_USER, kProgIdKey), "unregistration removed the ProgID key");
  checks.Check(!KeyExists(HKEY_CURRENT_USER, kAddinKey),
               "unregistration removed the Addins\\ExcelOrlendix.Vestranov3 record");
  checks.Check(KeyExists(HKEY_CURRENT_USER, kAddinsKey),
               "unregistration kept the parent Addins key");
  checks.Check(KeyExists(HKEY_CURRENT_USER, kOtherAddinKey) &&
                   ReadDword(HKEY_CURRENT_USER, kOtherAddinKey, L"LoadBehavior") == 3u,
               "unregistration kept another add-in's record");
  checks.Check(
      !KeyExists(HKEY_CURRENT_USER, std::wstring(L"Software\\Classes\\TypeLib\\") + kLibidText) &&
          !KeyExists(HKEY_LOCAL_MACHINE,
                     std::wstring(L"Software\\Classes\\TypeLib\\") + kLibidText),
      "unregistration removed the type library's registration");
}

void MirrorClassesToMachine(Checks& checks) {
  checks.Check(CopyTree(kClassKey, OwnView()) && CopyTree(kProgIdKey, 0),
               "mirrored the class and ProgID keys to HKLM for Wine");
}

void RemoveMachineMirror(Checks& checks) {
  const bool removed = DeleteTree(HKEY_LOCAL_MACHINE, kClassKey, OwnView()) &&
                       DeleteTree(HKEY_LOCAL_MACHINE, kProgIdKey, 0);
  checks.Check(removed && !KeyExists(HKEY_LOCAL_MACHINE, kClassKey, OwnView()) &&
                   !KeyExists(HKEY_LOCAL_MACHINE, kProgIdKey),
               "removed the HKLM mirror of the class and ProgID keys");
}

}  // namespace wine_test
