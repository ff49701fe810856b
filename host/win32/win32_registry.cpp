// Registry adapter. The predefined root keys are sign-extended 32-bit values (HKEY_CURRENT_USER
// is 0xFFFFFFFF80000001 in a 64-bit process), so the logic's 32-bit codes are mapped, not cast.
#include "host/win32/win32_registry.h"

#include <string>

#include "host/win32/wide_text.h"
#include "host/win32/win32_handles.h"
#include "host/win32/windows_api.h"

namespace vestrano::win32 {
namespace {

HKEY RootKey(std::uint32_t root) {
  switch (root) {
    case host::kHkeyCurrentUser:
      return HKEY_CURRENT_USER;
    case host::kHkeyLocalMachine:
      return HKEY_LOCAL_MACHINE;
    default:
      return nullptr;
  }
}

HKEY Key(host::RegKey key) {
  return reinterpret_cast<HKEY>(key);
}

}  // namespace

long Win32Registry::OpenKey(std::uint32_t root, std::string_view path, std::uint32_t access,
                            host::RegKey& key) {
  HKEY root_key = RootKey(root);
  if (!root_key) return ERROR_INVALID_HANDLE;
  const std::string ansi_path = ToAnsi(path);
  HKEY opened = nullptr;
  const LSTATUS status = RegOpenKeyExA(root_key, ansi_path.c_str(), 0, access, &opened);
  key = status == ERROR_SUCCESS ? reinterpret_cast<host::RegKey>(opened) : 0;
  return status;
}

long Win32Registry::CreateKey(std::uint32_t root, std::string_view path, std::uint32_t access,
                              host::RegKey& key) {
  HKEY root_key = RootKey(root);
  if (!root_key) return ERROR_INVALID_HANDLE;
  const std::string ansi_path = ToAnsi(path);
  HKEY created = nullptr;
  const LSTATUS status =
      RegCreateKeyExA(root_key, ansi_path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                      nullptr, &created, nullptr);
  key = status == ERROR_SUCCESS ? reinterpret_cast<host::RegKey>(created) : 0;
  return status;
}

host::RegQueryResult Win32Registry::QueryValue(host::RegKey key, std::string_view name,
                                               std::uint32_t capacity) {
  const std::string ansi_name = ToAnsi(name);
  host::RegQueryResult result;
  DWORD type = REG_NONE;
  DWORD size = capacity;
  std::string buffer(capacity, '\0');
  result.status =
      RegQueryValueExA(Key(key), ansi_name.c_str(), nullptr, &type,
                       capacity ? reinterpret_cast<BYTE*>(buffer.data()) : nullptr, &size);
  result.type = type;
  result.size = size;
  if (result.status == ERROR_SUCCESS && capacity) {
    buffer.resize(size);
    result.data = std::move(buffer);
  }
  return result;
}

long Win32Registry::SetValue(host::RegKey key, std::string_view name, std::uint32_t type,
                             std::string_view data) {
  const std::string ansi_name = ToAnsi(name);
  return RegSetValueExA(Key(key), ansi_name.c_str(), 0, type,
                        reinterpret_cast<const BYTE*>(data.data()),
                        static_cast<DWORD>(data.size()));
}

long Win32Registry::CloseKey(host::RegKey key) {
  return UniqueHkey(Key(key)).Close();
}

std::string Win32Registry::ToAnsi(std::string_view utf8) {
  return WideToAnsi(Utf8ToWide(utf8));
}

std::string Win32Registry::FromAnsi(std::string_view ansi) {
  return WideToUtf8(AnsiToWide(ansi));
}

}  // namespace vestrano::win32
