// The start-up installation's files and resources on Windows: the system directory read whole,
// the user's local application data folder, file writes that leave no partial file, and the
// add-in's own resources.
#pragma once

#include <optional>
#include <string>

#include "host/files.h"
#include "host/win32/windows_api.h"

namespace vestrano::win32 {

class Win32Files final : public host::IFiles {
 public:
  std::optional<std::string> SystemDirectory() override;
  std::optional<std::string> LocalAppDataFolder() override;
  std::optional<std::vector<std::uint8_t>> ReadFile(std::string_view path,
                                                    std::size_t max_bytes) override;
  bool CreateFolder(std::string_view path) override;
  bool WriteFile(std::string_view path, std::span<const std::uint8_t> bytes) override;
};

// Resources of one module (the add-in's own DLL).
class Win32Resources final : public host::IResources {
 public:
  explicit Win32Resources(HMODULE module) : module_(module) {}
  std::optional<std::span<const std::uint8_t>> LoadResource(std::string_view type, int id,
                                                            int language) override;

 private:
  HMODULE module_;
};

}  // namespace vestrano::win32
