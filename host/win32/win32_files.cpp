// Files and resources through Win32. Every call here exists on Windows XP: the user's folder
// comes from SHGetFolderPathW, not from the Vista-only known-folder API.
#include "host/win32/win32_files.h"

#include <algorithm>

#include <shlobj.h>

#include "base/sized_text.h"
#include "host/win32/wide_text.h"
#include "host/win32/win32_handles.h"

namespace vestrano::win32 {
namespace {

std::optional<std::string> Narrowed(const std::optional<std::wstring>& wide) {
  if (!wide) return std::nullopt;
  return WideToUtf8(*wide);
}

std::optional<std::wstring> SystemDirectoryW() {
  // MAX_PATH is only a first guess: the buffer grows when Windows says it needs more.
  return ReadSizedText<wchar_t>(
      [](wchar_t* buffer, std::size_t capacity) {
        return static_cast<std::size_t>(GetSystemDirectoryW(buffer, static_cast<UINT>(capacity)));
      },
      MAX_PATH);
}

// %LOCALAPPDATA% (on Windows XP, "Local Settings\Application Data").
std::optional<std::wstring> LocalAppDataW() {
  wchar_t folder[MAX_PATH];
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) {
    return std::nullopt;
  }
  return std::wstring(folder);
}

}  // namespace

std::optional<std::string> Win32Files::SystemDirectory() {
  return Narrowed(SystemDirectoryW());
}

std::optional<std::string> Win32Files::LocalAppDataFolder() {
  return Narrowed(LocalAppDataW());
}

std::optional<std::vector<std::uint8_t>> Win32Files::ReadFile(std::string_view path,
                                                              std::size_t max_bytes) {
  // A loaded module may be read while it is mapped; a file being written may not.
  const UniqueFileHandle file(CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0 ||
      static_cast<unsigned long long>(size.QuadPart) > max_bytes) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
  for (std::size_t at = 0; at < bytes.size();) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - at, 1 << 20));
    DWORD done = 0;
    if (!::ReadFile(file.Get(), bytes.data() + at, chunk, &done, nullptr) || done == 0) {
      return std::nullopt;
    }
    at += done;
  }
  return bytes;
}

bool Win32Files::CreateFolder(std::string_view path) {
  const std::wstring wide = Utf8ToWide(path);
  if (CreateDirectoryW(wide.c_str(), nullptr)) return true;
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Files::WriteFile(std::string_view path, std::span<const std::uint8_t> bytes) {
  const std::wstring wide = Utf8ToWide(path);
  bool written = false;
  {
    const UniqueFileHandle file(CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    written = true;
    for (std::size_t at = 0; written && at < bytes.size();) {
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - at, 1 << 20));
      DWORD done = 0;
      written = ::WriteFile(file.Get(), bytes.data() + at, chunk, &done, nullptr) && done > 0;
      at += done;
    }
  }
  // Half a module must not be taken for the module by the next start.
  if (!written) DeleteFileW(wide.c_str());
  return written;
}

std::optional<std::span<const std::uint8_t>> Win32Resources::LoadResource(std::string_view type,
                                                                          int id, int language) {
  const std::wstring type_name = Utf8ToWide(type);
  const HRSRC found = FindResourceExW(module_, type_name.c_str(), MAKEINTRESOURCEW(id),
                                      static_cast<WORD>(language));
  const HGLOBAL loaded = found ? ::LoadResource(module_, found) : nullptr;
  const auto* data = loaded ? static_cast<const std::uint8_t*>(LockResource(loaded)) : nullptr;
  if (!data) return std::nullopt;
  return std::span<const std::uint8_t>(data, SizeofResource(module_, found));
}

}  // namespace vestrano::win32
