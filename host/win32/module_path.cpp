// The module's path and file identity. Only calls that Windows XP has: the 32-bit DLL registers
// there too.
#include "host/win32/module_path.h"

#include <optional>

#include "host/win32/win32_handles.h"

namespace vestrano::win32 {
namespace {

struct FileIdentity {
  DWORD volume;
  DWORD index_high;
  DWORD index_low;
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

std::optional<FileIdentity> IdentityOf(const std::wstring& path) {
  // No access rights asked for, and every kind of sharing allowed: reading a file's identity must
  // not fail because Excel or regsvr32 has the DLL open.
  const UniqueFileHandle file(CreateFileW(path.c_str(), 0,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, 0, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!file || !GetFileInformationByHandle(file.Get(), &info)) return std::nullopt;
  return FileIdentity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

}  // namespace

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

bool NamesSameFile(const std::wstring& a, const std::wstring& b) {
  if (a.empty() || b.empty()) return false;
  if (CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) ==
      CSTR_EQUAL) {
    return true;
  }
  const auto first = IdentityOf(a);
  return first && first == IdentityOf(b);
}

}  // namespace vestrano::win32
