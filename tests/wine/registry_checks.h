// Registration through regsvr32 and what it leaves in the registry: every value the add-in
// writes, in the right registry view, and nothing left behind after unregistration.
#pragma once

#include <optional>
#include <string>

#include "host/win32/windows_api.h"
#include "tests/wine/checks.h"

namespace wine_test {

// regsvr32's exit code, or nothing when it could not be started.
std::optional<DWORD> RunRegsvr32(const std::wstring& dll_path, bool unregister);

// Another add-in's record beside ours, which unregistration must leave alone.
void PlantOtherAddin();
void RemoveOtherAddin();

void CheckRegistered(Checks& checks, const std::wstring& dll_path);
void CheckUnregistered(Checks& checks);

// Wine looks COM classes up in the machine hive only: copies the per-user class and ProgID keys
// there, and removes the copies again.
void MirrorClassesToMachine(Checks& checks);
void RemoveMachineMirror(Checks& checks);

// The registry view of this process's bitness, which the class keys must be in.
REGSAM OwnView();
REGSAM OtherView();

std::optional<std::wstring> ReadString(HKEY root, const std::wstring& path, const wchar_t* name,
                                       REGSAM view = 0);
bool KeyExists(HKEY root, const std::wstring& path, REGSAM view = 0);

}  // namespace wine_test
