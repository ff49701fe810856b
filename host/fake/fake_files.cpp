// In-memory files, folders and resources.
#include "host/fake/fake_files.h"

#include <algorithm>

namespace vestrano::fake {

std::string FakeFiles::Key(std::string_view path) {
  std::string key(path);
  std::transform(key.begin(), key.end(), key.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  while (key.size() > 1 && key.back() == '\\') key.pop_back();
  return key;
}

std::string FakeFiles::ParentOf(std::string_view path) {
  const std::string key = Key(path);
  const auto slash = key.rfind('\\');
  return slash == std::string::npos ? std::string() : key.substr(0, slash);
}

std::optional<std::string> FakeFiles::SystemDirectory() {
  if (!calls_.Enter("Files.SystemDirectory")) return std::nullopt;
  return system_;
}

std::optional<std::string> FakeFiles::LocalAppDataFolder() {
  if (!calls_.Enter("Files.LocalAppDataFolder")) return std::nullopt;
  return local_;
}

std::optional<std::vector<std::uint8_t>> FakeFiles::ReadFile(std::string_view path,
                                                             std::size_t max_bytes) {
  if (!calls_.Enter("Files.ReadFile")) return std::nullopt;
  const auto it = files_.find(Key(path));
  if (it == files_.end() || it->second.size() > max_bytes) return std::nullopt;
  return it->second;
}

bool FakeFiles::CreateFolder(std::string_view path) {
  if (!calls_.Enter("Files.CreateFolder")) return false;
  const std::string key = Key(path);
  if (folders_.contains(key)) return true;
  const std::string parent = ParentOf(path);
  if (!folders_.contains(parent) || read_only_.contains(parent) || files_.contains(key)) {
    return false;
  }
  folders_.insert(key);
  return true;
}

bool FakeFiles::WriteFile(std::string_view path, std::span<const std::uint8_t> bytes) {
  if (!calls_.Enter("Files.WriteFile")) return false;
  const std::string parent = ParentOf(path);
  if (!folders_.contains(parent) || read_only_.contains(parent)) return false;
  if (!vanishing_.contains(Key(path))) files_[Key(path)].assign(bytes.begin(), bytes.end());
  return true;
}

void FakeFiles::SetSystemDirectory(std::optional<std::string> path) {
  system_ = std::move(path);
  if (system_) folders_.insert(Key(*system_));
}

void FakeFiles::SetLocalAppDataFolder(std::optional<std::string> path) {
  local_ = std::move(path);
  if (local_) folders_.insert(Key(*local_));
}

void FakeFiles::RefuseWritesIn(std::string_view folder) {
  read_only_.insert(Key(folder));
}

void FakeFiles::PutFile(std::string_view path, std::vector<std::uint8_t> bytes) {
  files_[Key(path)] = std::move(bytes);
}

void FakeFiles::VanishOnWrite(std::string_view path) {
  vanishing_.insert(Key(path));
}

std::optional<std::vector<std::uint8_t>> FakeFiles::File(std::string_view path) const {
  const auto it = files_.find(Key(path));
  if (it == files_.end()) return std::nullopt;
  return it->second;
}

std::optional<std::span<const std::uint8_t>> FakeResources::LoadResource(std::string_view type,
                                                                         int id, int language) {
  if (!calls_.Enter("Resources.LoadResource")) return std::nullopt;
  const auto it = resources_.find({std::string(type), id, language});
  if (it == resources_.end()) return std::nullopt;
  return std::span<const std::uint8_t>(it->second);
}

void FakeResources::Put(std::string type, int id, int language, std::vector<std::uint8_t> bytes) {
  resources_[{std::move(type), id, language}] = std::move(bytes);
}

}  // namespace vestrano::fake
