// An in-memory registry for the tests and vestrano-sim: a tree of keys under the predefined
// roots, matched ignoring ASCII case as Windows does, holding typed values as raw bytes. The
// IRegistry members are what the add-in calls, each recorded in HostCalls and each able to fail
// on request; Put, Peek and Delete are what the user or another program does to the registry
// (not host calls). The ANSI code page is UTF-8, so text passes through unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/fake/host_calls.h"
#include "host/registry.h"

namespace vestrano::fake {

struct StoredValue {
  std::uint32_t type = host::kRegNone;
  std::string bytes;
  friend bool operator==(const StoredValue&, const StoredValue&) = default;
};

class FakeRegistry final : public host::IRegistry {
 public:
  explicit FakeRegistry(HostCalls& calls);
  ~FakeRegistry() override;
  FakeRegistry(const FakeRegistry&) = delete;
  FakeRegistry& operator=(const FakeRegistry&) = delete;

  // `root` is a predefined key (HKEY_CLASSES_ROOT to HKEY_USERS); an open handle is not accepted.
  // A missing key gives kErrorFileNotFound, a path with an empty component (as in "a\\\\b")
  // ERROR_INVALID_PARAMETER. `key` is 0 whenever the call fails.
  long OpenKey(std::uint32_t root, std::string_view path, std::uint32_t access,
               host::RegKey& key) override;
  long CreateKey(std::uint32_t root, std::string_view path, std::uint32_t access,
                 host::RegKey& key) override;
  // A handle opened without KEY_QUERY_VALUE (or, for SetValue, KEY_SET_VALUE) is refused with
  // ERROR_ACCESS_DENIED, and a handle whose key has been deleted with ERROR_KEY_DELETED.
  host::RegQueryResult QueryValue(host::RegKey key, std::string_view name,
                                  std::uint32_t capacity) override;
  long SetValue(host::RegKey key, std::string_view name, std::uint32_t type,
                std::string_view data) override;
  long CloseKey(host::RegKey key) override;

  // Identity on valid UTF-8. An invalid byte becomes '?' on the way in and U+FFFD on the way
  // out, as Windows' converters do.
  std::string ToAnsi(std::string_view utf8) override;
  std::string FromAnsi(std::string_view ansi) override;

  // Direct access, neither recorded nor subject to the fault plan. Put creates missing keys and
  // replaces a value of the same name whatever its type. Delete removes one value, or with no
  // name the whole key and everything below it; handles still open on it then fail. Put and
  // Delete return false for an unknown root or a malformed path, Delete also when nothing was
  // there.
  bool Put(std::uint32_t root, std::string_view path, std::string_view name, std::uint32_t type,
           std::string_view bytes);
  std::optional<StoredValue> Peek(std::uint32_t root, std::string_view path,
                                  std::string_view name) const;
  bool Delete(std::uint32_t root, std::string_view path,
              std::optional<std::string_view> name = std::nullopt);
  bool KeyExists(std::uint32_t root, std::string_view path) const;
  // Handles opened and not yet closed, so that tests can prove that every key was closed.
  std::size_t OpenHandleCount() const { return handles_.size(); }

 private:
  struct Key;
  struct Handle {
    std::shared_ptr<Key> key;
    std::uint32_t access = 0;
  };

  Key* Find(std::uint32_t root, std::string_view path) const;
  // The key named by the first `count` of `parts` (already split and folded).
  Key* Walk(std::uint32_t root, const std::vector<std::string>& parts, std::size_t count) const;
  long Open(std::uint32_t root, std::string_view path, std::uint32_t access, bool create,
            host::RegKey& key);
  // The open handle, or the status that refuses it for an operation needing `right`.
  long Check(host::RegKey key, std::uint32_t right, Key*& found) const;

  HostCalls& calls_;
  std::map<std::uint32_t, std::shared_ptr<Key>> roots_;
  std::map<host::RegKey, Handle> handles_;
  host::RegKey next_handle_ = 1;
};

}  // namespace vestrano::fake
