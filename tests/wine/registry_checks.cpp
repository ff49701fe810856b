// Registration checks against the registry itself.
#include "tests/wine/registry_checks.h"

#include <algorithm>
#include <vector>

#include "addin/win32/vestrano_ids.h"
#include "host/win32/win32_handles.h"

namespace wine_test {
namespace {

using vestrano::win32::kClsidText;
using vestrano::win32::kLibidText;
using vestrano::win32::UniqueHkey;
using vestrano::win32::UniqueKernelHandle;

const std::wstring kOtherAddinKey = kAddinsKey + L"\\WineTest.OtherAddin";

// Set when this test, not the DLL's own registration, put the class into the machine hive.
bool g_mirrored_by_test = false;

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

void CheckString(Checks& checks, HKEY root, const std::wstring& path, const wchar_t* name,
                 const std::wstring& expected, REGSAM view = 0, bool ignore_case = false) {
  const auto value = ReadString(root, path, name, view);
  const bool ok = value && (ignore_case ? SamePath(*value, expected) : *value == expected);
  checks.Check(ok,
               Format("%s\\%s %s = \"%s\"", root == HKEY_LOCAL_MACHINE ? "HKLM" : "HKCU",
                      Narrow(path).c_str(), name ? Narrow(name).c_str() : "(default)",
                      Narrow(expected).c_str()),
               value ? "found \"" + Narrow(*value) + "\"" : "missing or not REG_SZ");
}

void CheckString(Checks& checks, const std::wstring& path, const wchar_t* name,
                 const std::wstring& expected, REGSAM view = 0, bool ignore_case = false) {
  CheckString(checks, HKEY_CURRENT_USER, path, name, expected, view, ignore_case);
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

// The text of one OutputDebugString call, read from the debugged process.
std::string DebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info) {
  const SIZE_T length = std::min<SIZE_T>(info.nDebugStringLength, 4096);
  if (info.fUnicode) {
    std::wstring text(length, L'\0');
    ReadProcessMemory(process, info.lpDebugStringData, text.data(), length * sizeof(wchar_t),
                      nullptr);
    return Narrow(text.c_str());
  }
  std::string text(length, '\0');
  ReadProcessMemory(process, info.lpDebugStringData, text.data(), length, nullptr);
  return text.c_str();
}

// The debugger's side of a process started with DEBUG_ONLY_THIS_PROCESS, as DebugView would be:
// collects what it writes with OutputDebugString until it exits, and returns its exit code.
std::optional<DWORD> DebugUntilExit(HANDLE process, std::string& output) {
  for (;;) {
    DEBUG_EVENT event{};
    if (!WaitForDebugEvent(&event, 60000)) return std::nullopt;
    DWORD status = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case CREATE_PROCESS_DEBUG_EVENT:
        if (event.u.CreateProcessInfo.hFile) CloseHandle(event.u.CreateProcessInfo.hFile);
        break;
      case LOAD_DLL_DEBUG_EVENT:
        if (event.u.LoadDll.hFile) CloseHandle(event.u.LoadDll.hFile);
        break;
      case OUTPUT_DEBUG_STRING_EVENT:
        output += DebugString(process, event.u.DebugString);
        break;
      case EXCEPTION_DEBUG_EVENT:
        // Only the loader's first breakpoint is the debugger's; anything else is the process's.
        if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) {
          status = DBG_EXCEPTION_NOT_HANDLED;
        }
        break;
      case EXIT_PROCESS_DEBUG_EVENT:
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, DBG_CONTINUE);
        return event.u.ExitProcess.dwExitCode;
      default:
        break;
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
  }
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

bool WriteString(HKEY root, const std::wstring& path, const wchar_t* name,
                 const std::wstring& value, REGSAM view) {
  UniqueHkey key;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_SET_VALUE | view, key.Put()) != ERROR_SUCCESS) {
    return false;
  }
  const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        bytes) == ERROR_SUCCESS;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

bool ProcessIsElevated() {
  UniqueKernelHandle token;
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  return OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Put()) &&
         GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof(elevation), &size) &&
         elevation.TokenIsElevated != 0;
}

std::optional<DWORD> RunRegsvr32(const std::wstring& dll_path, bool unregister,
                                 std::string* debug_output) {
  std::wstring command =
      std::wstring(L"regsvr32.exe /s ") + (unregister ? L"/u " : L"") + L"\"" + dll_path + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE,
                      debug_output ? DEBUG_ONLY_THIS_PROCESS : 0, nullptr, nullptr, &startup,
                      &process)) {
    return std::nullopt;
  }
  const UniqueKernelHandle thread(process.hThread);
  const UniqueKernelHandle handle(process.hProcess);
  if (debug_output) return DebugUntilExit(handle.Get(), *debug_output);
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
  CheckString(checks, kServerKey, nullptr, dll_path, OwnView(), true);
  CheckString(checks, kServerKey, L"ThreadingModel", L"Apartment", OwnView());
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
  // An elevated Excel looks in the machine hive only.
  if (ProcessIsElevated()) {
    checks.Info("regsvr32 ran elevated, so registration wrote a machine-wide copy too");
    CheckString(checks, HKEY_LOCAL_MACHINE, kServerKey, nullptr, dll_path, OwnView(), true);
    CheckString(checks, HKEY_LOCAL_MACHINE, kServerKey, L"ThreadingModel", L"Apartment", OwnView());
    CheckString(checks, HKEY_LOCAL_MACHINE, kProgIdKey + L"\\CLSID", nullptr, kClsidText);
  } else {
    checks.Check(!KeyExists(HKEY_LOCAL_MACHINE, kClassKey, OwnView()),
                 "registration without elevation wrote nothing to HKLM");
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
  checks.Check(!KeyExists(HKEY_LOCAL_MACHINE, kClassKey, OwnView()) &&
                   !KeyExists(HKEY_LOCAL_MACHINE, kProgIdKey),
               "nothing of the class is left in HKLM");
}

void MirrorClassesToMachine(Checks& checks) {
  g_mirrored_by_test = !KeyExists(HKEY_LOCAL_MACHINE, kClassKey, OwnView());
  if (!g_mirrored_by_test) {
    checks.Info("the machine-wide copy is registration's own: nothing to mirror for Wine");
    return;
  }
  checks.Check(CopyTree(kClassKey, OwnView()) && CopyTree(kProgIdKey, 0),
               "mirrored the class and ProgID keys to HKLM for Wine");
}

void RemoveMachineMirror(Checks& checks) {
  if (!g_mirrored_by_test) return;  // unregistration removes registration's own copy
  g_mirrored_by_test = false;
  const bool removed = DeleteTree(HKEY_LOCAL_MACHINE, kClassKey, OwnView()) &&
                       DeleteTree(HKEY_LOCAL_MACHINE, kProgIdKey, 0);
  checks.Check(removed && !KeyExists(HKEY_LOCAL_MACHINE, kClassKey, OwnView()) &&
                   !KeyExists(HKEY_LOCAL_MACHINE, kProgIdKey),
               "removed the HKLM mirror of the class and ProgID keys");
}

}  // namespace wine_test
