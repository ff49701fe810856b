// The registry as the add-in's settings store uses it: the ANSI registry calls, with Win32
// status codes, over keys that the interface owns. Key paths and value names are UTF-8 and the
// implementation converts them; value data is raw bytes, in the system's ANSI code page for
// text, and ToAnsi/FromAnsi expose that code page so that the logic can size its buffers in
// ANSI bytes as Windows does.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vestrano::host {

// Predefined root keys.
inline constexpr std::uint32_t kHkeyCurrentUser = 0x80000001u;
inline constexpr std::uint32_t kHkeyLocalMachine = 0x80000002u;

// Value types.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

// Access masks.
inline constexpr std::uint32_t kKeyRead = 0x20019u;
inline constexpr std::uint32_t kKeyWrite = 0x20006u;

// Win32 status codes that callers look at.
inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorInvalidHandle = 6;
inline constexpr long kErrorMoreData = 234;

using RegKey = std::uintptr_t;  // an open key; 0 is never a valid one

struct RegQueryResult {
  long status = kErrorFileNotFound;
  std::uint32_t type = kRegNone;
  std::uint32_t size = 0;  // the value's size in bytes
  std::string data;        // the bytes read; empty when only the size was asked for
};

class IRegistry {
 public:
  virtual ~IRegistry() = default;
  virtual long OpenKey(std::uint32_t root, std::string_view path, std::uint32_t access,
                       RegKey& key) = 0;
  // Opens the key, creating it and any missing parents first.
  virtual long CreateKey(std::uint32_t root, std::string_view path, std::uint32_t access,
                         RegKey& key) = 0;
  // With `capacity` 0, returns the type and size only. Otherwise reads into a buffer of
  // `capacity` bytes: a value that does not fit gives kErrorMoreData and no data.
  virtual RegQueryResult QueryValue(RegKey key, std::string_view name, std::uint32_t capacity) = 0;
  virtual long SetValue(RegKey key, std::string_view name, std::uint32_t type,
                        std::string_view data) = 0;
  virtual long CloseKey(RegKey key) = 0;

  // Text in the system's ANSI code page; characters it cannot hold become '?'.
  virtual std::string ToAnsi(std::string_view utf8) = 0;
  virtual std::string FromAnsi(std::string_view ansi) = 0;
};

}  // namespace vestrano::host
