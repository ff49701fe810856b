// The in-memory registry: keys as a tree of shared nodes so that an open handle keeps its key
// alive, and can tell that it was deleted, after the tree has let go of it.
#include "host/fake/fake_registry.h"

#include <vector>

#include "base/utf8.h"

namespace vestrano::fake {
namespace {

constexpr long kErrorAccessDenied = 5;
constexpr long kErrorInvalidParameter = 87;
constexpr long kErrorKeyDeleted = 1018;

constexpr std::uint32_t kKeyQueryValue = 0x0001;
constexpr std::uint32_t kKeySetValue = 0x0002;

constexpr std::uint32_t kHkeyClassesRoot = 0x80000000u;
constexpr std::uint32_t kHkeyUsers = 0x80000003u;

bool IsPredefinedRoot(host::RegKey key) {
  return key >= kHkeyClassesRoot && key <= kHkeyUsers;
}

// The components of a key path, folded to upper case for lookup; no value for a malformed path.
// One leading and one trailing backslash are tolerated, an empty path names the root itself.
std::optional<std::vector<std::string>> SplitPath(std::string_view path) {
  if (path.starts_with('\\')) path.remove_prefix(1);
  if (path.ends_with('\\')) path.remove_suffix(1);
  std::vector<std::string> parts;
  if (path.empty()) return parts;
  while (true) {
    const auto end = path.find('\\');
    const auto part = path.substr(0, end);
    if (part.empty()) return std::nullopt;
    parts.push_back(AsciiUpper(part));
    if (end == std::string_view::npos) return parts;
    path.remove_prefix(end + 1);
  }
}

// Length of the valid UTF-8 sequence at `at`, 0 when the byte there does not start one.
std::size_t ValidSequenceAt(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const std::size_t length = lead < 0x80   ? 1
                             : lead < 0xC2 ? 0
                             : lead < 0xE0 ? 2
                             : lead < 0xF0 ? 3
                             : lead < 0xF5 ? 4
                                           : 0;
  if (length == 0 || at + length > text.size()) return 0;
  // DecodeUtf8 lets each byte of a broken sequence stand for itself, so a sequence is valid
  // exactly when it decodes to a single code point.
  return DecodeUtf8(text.substr(at, length)).size() == 1 ? length : 0;
}

std::string ReplaceInvalidUtf8(std::string_view text, std::string_view replacement) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (const auto length = ValidSequenceAt(text, i); length > 0) {
      out.append(text.substr(i, length));
      i += length;
    } else {
      out.append(replacement);
      ++i;
    }
  }
  return out;
}

}  // namespace

struct FakeRegistry::Key {
  std::map<std::string, std::shared_ptr<Key>> children;  // by upper-case name
  std::map<std::string, StoredValue> values;             // by upper-case name
  bool deleted = false;

  void MarkDeleted() {
    deleted = true;
    for (auto& [name, child] : children) child->MarkDeleted();
  }
};

FakeRegistry::FakeRegistry(HostCalls& calls) : calls_(calls) {
  for (std::uint32_t root = kHkeyClassesRoot; root <= kHkeyUsers; ++root) {
    roots_[root] = std::make_shared<Key>();
  }
}

FakeRegistry::~FakeRegistry() = default;

FakeRegistry::Key* FakeRegistry::Find(std::uint32_t root, std::string_view path) const {
  const auto parts = SplitPath(path);
  return parts ? Walk(root, *parts, parts->size()) : nullptr;
}

FakeRegistry::Key* FakeRegistry::Walk(std::uint32_t root, const std::vector<std::string>& parts,
                                      std::size_t count) const {
  const auto base = roots_.find(root);
  if (base == roots_.end()) return nullptr;
  Key* key = base->second.get();
  for (std::size_t i = 0; i < count; ++i) {
    const auto child = key->children.find(parts[i]);
    if (child == key->children.end()) return nullptr;
    key = child->second.get();
  }
  return key;
}

long FakeRegistry::Open(std::uint32_t root, std::string_view path, std::uint32_t access,
                        bool create, host::RegKey& key) {
  key = 0;
  const auto base = roots_.find(root);
  if (base == roots_.end()) return host::kErrorInvalidHandle;
  const auto parts = SplitPath(path);
  if (!parts) return kErrorInvalidParameter;
  std::shared_ptr<Key> node = base->second;
  for (const auto& part : *parts) {
    auto child = node->children.find(part);
    if (child == node->children.end()) {
      if (!create) return host::kErrorFileNotFound;
      child = node->children.emplace(part, std::make_shared<Key>()).first;
    }
    node = child->second;
  }
  key = next_handle_++;
  handles_[key] = Handle{std::move(node), access};
  return host::kErrorSuccess;
}

long FakeRegistry::Check(host::RegKey key, std::uint32_t right, Key*& found) const {
  const auto handle = handles_.find(key);
  if (handle == handles_.end()) return host::kErrorInvalidHandle;
  if (handle->second.key->deleted) return kErrorKeyDeleted;
  if ((handle->second.access & right) == 0) return kErrorAccessDenied;
  found = handle->second.key.get();
  return host::kErrorSuccess;
}

long FakeRegistry::OpenKey(std::uint32_t root, std::string_view path, std::uint32_t access,
                           host::RegKey& key) {
  key = 0;
  if (!calls_.Enter("Registry.OpenKey")) return kErrorAccessDenied;
  return Open(root, path, access, false, key);
}

long FakeRegistry::CreateKey(std::uint32_t root, std::string_view path, std::uint32_t access,
                             host::RegKey& key) {
  key = 0;
  if (!calls_.Enter("Registry.CreateKey")) return kErrorAccessDenied;
  return Open(root, path, access, true, key);
}

host::RegQueryResult FakeRegistry::QueryValue(host::RegKey key, std::string_view name,
                                              std::uint32_t capacity) {
  host::RegQueryResult result;
  if (!calls_.Enter("Registry.QueryValue")) {
    result.status = kErrorAccessDenied;
    return result;
  }
  Key* node = nullptr;
  result.status = Check(key, kKeyQueryValue, node);
  if (result.status != host::kErrorSuccess) return result;
  const auto value = node->values.find(AsciiUpper(name));
  if (value == node->values.end()) {
    result.status = host::kErrorFileNotFound;
    return result;
  }
  result.type = value->second.type;
  result.size = static_cast<std::uint32_t>(value->second.bytes.size());
  if (capacity != 0 && capacity < result.size) {
    result.status = host::kErrorMoreData;
  } else if (capacity != 0) {
    result.data = value->second.bytes;
  }
  return result;
}

long FakeRegistry::SetValue(host::RegKey key, std::string_view name, std::uint32_t type,
                            std::string_view data) {
  if (!calls_.Enter("Registry.SetValue")) return kErrorAccessDenied;
  Key* node = nullptr;
  if (const long status = Check(key, kKeySetValue, node); status != host::kErrorSuccess) {
    return status;
  }
  node->values[AsciiUpper(name)] = StoredValue{type, std::string(data)};
  return host::kErrorSuccess;
}

long FakeRegistry::CloseKey(host::RegKey key) {
  if (!calls_.Enter("Registry.CloseKey")) return kErrorAccessDenied;
  if (IsPredefinedRoot(key)) return host::kErrorSuccess;
  return handles_.erase(key) == 1 ? host::kErrorSuccess : host::kErrorInvalidHandle;
}

std::string FakeRegistry::ToAnsi(std::string_view utf8) {
  return ReplaceInvalidUtf8(utf8, "?");
}

std::string FakeRegistry::FromAnsi(std::string_view ansi) {
  return ReplaceInvalidUtf8(ansi, "\xEF\xBF\xBD");
}

bool FakeRegistry::Put(std::uint32_t root, std::string_view path, std::string_view name,
                       std::uint32_t type, std::string_view bytes) {
  const auto base = roots_.find(root);
  const auto parts = SplitPath(path);
  if (base == roots_.end() || !parts) return false;
  Key* key = base->second.get();
  for (const auto& part : *parts) {
    auto& child = key->children[part];
    if (!child) child = std::make_shared<Key>();
    key = child.get();
  }
  key->values[AsciiUpper(name)] = StoredValue{type, std::string(bytes)};
  return true;
}

std::optional<StoredValue> FakeRegistry::Peek(std::uint32_t root, std::string_view path,
                                              std::string_view name) const {
  const Key* key = Find(root, path);
  if (key == nullptr) return std::nullopt;
  const auto value = key->values.find(AsciiUpper(name));
  if (value == key->values.end()) return std::nullopt;
  return value->second;
}

bool FakeRegistry::Delete(std::uint32_t root, std::string_view path,
                          std::optional<std::string_view> name) {
  if (name) {
    Key* key = Find(root, path);
    return key != nullptr && key->values.erase(AsciiUpper(*name)) == 1;
  }
  // A root cannot be deleted, so the path must name a key below one.
  const auto parts = SplitPath(path);
  if (!parts || parts->empty()) return false;
  Key* parent = Walk(root, *parts, parts->size() - 1);
  if (parent == nullptr) return false;
  const auto child = parent->children.find(parts->back());
  if (child == parent->children.end()) return false;
  child->second->MarkDeleted();
  parent->children.erase(child);
  return true;
}

bool FakeRegistry::KeyExists(std::uint32_t root, std::string_view path) const {
  return Find(root, path) != nullptr;
}

}  // namespace vestrano::fake
