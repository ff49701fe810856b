// The files and folders that the start-up installation of the tab strip module works with: the
// Windows system directory, the user's own folder for program data, and reading and writing a
// file whole. Paths are UTF-8 text with backslashes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vestrano::host {

class IFiles {
 public:
  virtual ~IFiles() = default;
  // The Windows system directory, whole however long it is; empty optional when unknown.
  virtual std::optional<std::string> SystemDirectory() = 0;
  // The current user's local application data folder (%LOCALAPPDATA%); empty optional when
  // unknown.
  virtual std::optional<std::string> LocalAppDataFolder() = 0;
  // The whole file; empty optional when it is missing, unreadable or longer than `max_bytes`.
  virtual std::optional<std::vector<std::uint8_t>> ReadFile(std::string_view path,
                                                            std::size_t max_bytes) = 0;
  // Makes the folder when it is missing (its parent must exist); true when it exists afterwards.
  virtual bool CreateFolder(std::string_view path) = 0;
  // Creates or replaces the file with exactly `bytes`; false when it could not be written whole,
  // and then no part of it is left behind.
  virtual bool WriteFile(std::string_view path, std::span<const std::uint8_t> bytes) = 0;
};

class IResources {
 public:
  virtual ~IResources() = default;
  // The bytes of a resource of the add-in's own module, of a type named by text, a numeric id
  // and a language; empty optional when it has none. They stay valid while the module is loaded.
  virtual std::optional<std::span<const std::uint8_t>> LoadResource(std::string_view type, int id,
                                                                    int language) = 0;
};

}  // namespace vestrano::host
