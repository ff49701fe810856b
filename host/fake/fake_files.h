// Files, folders and the add-in's own resources in memory, for the tests of the start-up
// installation: a system directory and a user folder of any length, folders that refuse writes,
// and files that never show up after they were written (as when a virus scanner takes them
// away at once). The IFiles and IResources members are recorded in HostCalls.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "host/fake/host_calls.h"
#include "host/files.h"

namespace vestrano::fake {

class FakeFiles final : public host::IFiles {
 public:
  explicit FakeFiles(HostCalls& calls) : calls_(calls) {}

  // --- host::IFiles. Paths compare without regard to ASCII letter case, as Windows' do. ---
  std::optional<std::string> SystemDirectory() override;
  std::optional<std::string> LocalAppDataFolder() override;
  std::optional<std::vector<std::uint8_t>> ReadFile(std::string_view path,
                                                    std::size_t max_bytes) override;
  // Refused when the parent folder is missing or refuses writes.
  bool CreateFolder(std::string_view path) override;
  // Refused when the folder is missing or refuses writes.
  bool WriteFile(std::string_view path, std::span<const std::uint8_t> bytes) override;

  // --- The machine, as the test sets it up. Both folders exist and take writes at first. ---
  void SetSystemDirectory(std::optional<std::string> path);
  void SetLocalAppDataFolder(std::optional<std::string> path);
  void RefuseWritesIn(std::string_view folder);
  void PutFile(std::string_view path, std::vector<std::uint8_t> bytes);
  // Writes to this path succeed, and the file is gone at once.
  void VanishOnWrite(std::string_view path);

  // --- Observation. ---
  // The file's bytes; empty optional when there is no such file.
  std::optional<std::vector<std::uint8_t>> File(std::string_view path) const;
  std::size_t FileCount() const { return files_.size(); }

 private:
  static std::string Key(std::string_view path);
  static std::string ParentOf(std::string_view path);

  HostCalls& calls_;
  std::optional<std::string> system_ = "C:\\Windows\\system32";
  std::optional<std::string> local_ = "C:\\Users\\Mei\\AppData\\Local";
  std::set<std::string> folders_{Key("C:\\Windows\\system32"),
                                 Key("C:\\Users\\Mei\\AppData\\Local")};
  std::set<std::string> read_only_;
  std::set<std::string> vanishing_;
  std::map<std::string, std::vector<std::uint8_t>> files_;
};

class FakeResources final : public host::IResources {
 public:
  explicit FakeResources(HostCalls& calls) : calls_(calls) {}
  std::optional<std::span<const std::uint8_t>> LoadResource(std::string_view type, int id,
                                                            int language) override;
  void Put(std::string type, int id, int language, std::vector<std::uint8_t> bytes);

 private:
  HostCalls& calls_;
  std::map<std::tuple<std::string, int, int>, std::vector<std::uint8_t>> resources_;
};

}  // namespace vestrano::fake
