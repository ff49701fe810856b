// Registration through regsvr32 and what it leaves in the registry: every value the add-in
// writes, in the right registry view, and nothing left behind after unregistration.
#pragma once

#include <optional>
#include <string>

#include "addin/win32/vestrano_ids.h"
#include "host/win32/windows_api.h"
#include "tests/wine/checks.h"

namespace wine_test {

// The keys registration writes, under HKEY_CURRENT_USER and, for its machine-wide copy, under
// HKEY_LOCAL_MACHINE.
inline const std::wstring kClassKey =
    std::wstring(L"Software\\Classes\\CLSID\\") + vestrano::win32::kClsidText;
inline const std::wstring kServerKey = kClassKey + L"\\InprocServer32";
inline const std::wstring kProgIdKey = L"Software\\Classes\\ExcelOrlendix.Vestranov3";
inline const std::wstring kAddinsKey = L"Software\\Microsoft\\Office\\Excel\\Addins";
inline const std::wstring kAddinKey = kAddinsKey + L"\\ExcelOrlendix.Vestranov3";

// regsvr32's exit code, or nothing when it could not be started. With `debug_output`, this process
// runs it as its debugger and collects there what the DLL reports through OutputDebugString.
std::optional<DWORD> RunRegsvr32(const std::wstring& dll_path, bool unregister,
                                 std::string* debug_output = nullptr);

// Whether this process, and so the regsvr32 it starts, runs elevated: registration then writes a
// machine-wide copy of the class too.
bool ProcessIsElevated();

// Another add-in's record beside ours, which unregistration must leave alone.
void PlantOtherAddin();
void RemoveOtherAddin();

void CheckRegistered(Checks& checks, const std::wstring& dll_path);
void CheckUnregistered(Checks& checks);

// Wine looks COM classes up in the machine hive only: copies the per-user class and ProgID keys
// there, unless registration wrote its own machine-wide copy (as it does elevated), and removes
// the copies again.
void MirrorClassesToMachine(Checks& checks);
void RemoveMachineMirror(Checks& checks);

// The registry view of this process's bitness, which the class keys must be in.
REGSAM OwnView();
REGSAM OtherView();

std::optional<std::wstring> ReadString(HKEY root, const std::wstring& path, const wchar_t* name,
                                       REGSAM view = 0);
bool WriteString(HKEY root, const std::wstring& path, const wchar_t* name,
                 const std::wstring& value, REGSAM view = 0);
bool KeyExists(HKEY root, const std::wstring& path, REGSAM view = 0);
// Paths compare ignoring case, as Windows compares file names.
bool SamePath(const std::wstring& a, const std::wstring& b);

}  // namespace wine_test
