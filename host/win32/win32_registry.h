// The registry behind host/registry.h, through the ANSI registry functions as the settings store
// expects: key paths and value names arrive as UTF-8 and reach Windows in the ANSI code page.
#pragma once

#include "host/registry.h"

namespace vestrano::win32 {

class Win32Registry final : public host::IRegistry {
 public:
  long OpenKey(std::uint32_t root, std::string_view path, std::uint32_t access,
               host::RegKey& key) override;
  long CreateKey(std::uint32_t root, std::string_view path, std::uint32_t access,
                 host::RegKey& key) override;
  host::RegQueryResult QueryValue(host::RegKey key, std::string_view name,
                                  std::uint32_t capacity) override;
  long SetValue(host::RegKey key, std::string_view name, std::uint32_t type,
                std::string_view data) override;
  long CloseKey(host::RegKey key) override;
  std::string ToAnsi(std::string_view utf8) override;
  std::string FromAnsi(std::string_view ansi) override;
};

}  // namespace vestrano::win32
