// The registry edits that registration is made of: values written and removed in a given hive and
// registry view, and keys removed once nothing is left in them. Only calls that Windows XP has.
#pragma once

#include <optional>
#include <string>

#include "host/win32/windows_api.h"

namespace vestrano::win32 {

// One value that registration writes.
struct RegValue {
  std::wstring key;     // under the hive it is written to
  REGSAM view;          // KEY_WOW64_32KEY, KEY_WOW64_64KEY, or 0 for a key both views share
  const wchar_t* name;  // nullptr: the key's default value
  DWORD type;           // REG_SZ or REG_DWORD
  std::wstring text;    // for REG_SZ
  DWORD number;         // for REG_DWORD
};

LSTATUS WriteValue(HKEY root, const RegValue& value);
// Succeeds when the value or its key is not there.
LSTATUS DeleteValue(HKEY root, const RegValue& value);
// Removes the key when it has neither subkeys nor values left; succeeds when it is not there.
LSTATUS DeleteKeyIfEmpty(HKEY root, const std::wstring& path, REGSAM view);

// The key's default value as a path: REG_SZ, or REG_EXPAND_SZ with its variables expanded.
std::optional<std::wstring> ReadDefaultPath(HKEY root, const std::wstring& path, REGSAM view);

}  // namespace vestrano::win32
