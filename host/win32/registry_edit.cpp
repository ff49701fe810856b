// Registry edits in a chosen view. Keys are removed with RegDeleteKeyW on their parent opened in
// that view, because RegDeleteKeyExW, which takes the view itself, is missing from 32-bit
// Windows XP. Registration removes keys only in its own process's view or in keys both views
// share, where the parent's view and the default one agree on every Windows version.
#include "host/win32/registry_edit.h"

#include <vector>

#include "host/win32/win32_handles.h"

namespace vestrano::win32 {

LSTATUS WriteValue(HKEY root, const RegValue& value) {
  UniqueHkey key;
  LSTATUS status = RegCreateKeyExW(root, value.key.c_str(), 0, nullptr, 0,
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

LSTATUS DeleteValue(HKEY root, const RegValue& value) {
  UniqueHkey key;
  LSTATUS status = RegOpenKeyExW(root, value.key.c_str(), 0, KEY_SET_VALUE | value.view, key.Put());
  if (status == ERROR_SUCCESS) status = RegDeleteValueW(key.Get(), value.name);
  return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

LSTATUS DeleteKeyIfEmpty(HKEY root, const std::wstring& path, REGSAM view) {
  DWORD subkeys = 0;
  DWORD values = 0;
  {
    UniqueHkey key;
    const LSTATUS status = RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE | view, key.Put());
    if (status == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
    if (status != ERROR_SUCCESS) return status;
    const LSTATUS info = RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr,
                                          nullptr, &values, nullptr, nullptr, nullptr, nullptr);
    if (info != ERROR_SUCCESS) return info;
  }
  if (subkeys != 0 || values != 0) return ERROR_SUCCESS;
  // Registration never owns a key directly under a hive's root, so there is always a parent.
  const auto split = path.rfind(L'\\');
  if (split == std::wstring::npos) return ERROR_INVALID_PARAMETER;
  UniqueHkey parent;
  LSTATUS status =
      RegOpenKeyExW(root, path.substr(0, split).c_str(), 0, KEY_QUERY_VALUE | view, parent.Put());
  if (status == ERROR_SUCCESS) status = RegDeleteKeyW(parent.Get(), path.c_str() + split + 1);
  return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

std::optional<std::wstring> ReadDefaultPath(HKEY root, const std::wstring& path, REGSAM view) {
  UniqueHkey key;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE | view, key.Put()) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  DWORD type = 0;
  DWORD bytes = 0;
  if (RegQueryValueExW(key.Get(), nullptr, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return std::nullopt;
  }
  // Room for a terminating null that the stored value may lack.
  std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
  if (RegQueryValueExW(key.Get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                       &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::wstring text(buffer.data());
  if (type == REG_SZ) return text;
  const DWORD needed = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
  if (needed == 0) return std::nullopt;
  std::wstring expanded(needed, L'\0');
  const DWORD written = ExpandEnvironmentStringsW(text.c_str(), expanded.data(), needed);
  if (written == 0 || written > needed) return std::nullopt;
  expanded.resize(written - 1);
  return expanded;
}

}  // namespace vestrano::win32
