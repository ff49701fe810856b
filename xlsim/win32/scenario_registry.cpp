// Registry values in the scenario's terms, and the sandbox that keeps runs apart.
#include "xlsim/win32/scenario_registry.h"

#include <map>

#include "xlsim/win32/text.h"

namespace vestrano::xlsim::win32 {
namespace {

// What a run starts without: the add-in's settings, and the outside settings it reads.
constexpr std::string_view kAddinKey = "SOFTWARE\\Microsoft\\Shared Tools\\Vestrano";
struct ClearedValue {
  std::string_view path;
  std::string_view name;
};
constexpr ClearedValue kClearedValues[] = {
    {"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced", "HideFileExt"},
    {"Software\\Microsoft\\Office\\12.0\\Common", "Theme"},
};

std::wstring Text(const std::vector<BYTE>& bytes) {
  std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
  return text;
}

std::vector<BYTE> Bytes(const std::wstring& text) {
  const auto* data = reinterpret_cast<const BYTE*>(text.c_str());
  return {data, data + (text.size() + 1) * sizeof(wchar_t)};
}

HKEY Open(std::string_view path, REGSAM access) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, Wide(path).c_str(), 0, access, &key) != ERROR_SUCCESS) {
    return nullptr;
  }
  return key;
}

}  // namespace

std::optional<scenario::RegValue> ReadRegistryValue(std::string_view path, std::string_view name) {
  const HKEY key = Open(path, KEY_QUERY_VALUE);
  if (!key) return std::nullopt;
  const std::wstring value_name = Wide(name);
  DWORD type = 0;
  DWORD size = 0;
  std::vector<BYTE> data;
  LONG status = RegQueryValueExW(key, value_name.c_str(), nullptr, &type, nullptr, &size);
  if (status == ERROR_SUCCESS) {
    data.resize(size);
    status = RegQueryValueExW(key, value_name.c_str(), nullptr, &type,
                              data.empty() ? nullptr : data.data(), &size);
    data.resize(size);
  }
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return std::nullopt;
  scenario::RegValue value;
  value.type = type;
  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
      const std::wstring text = Text(data);
      value.texts = {Utf8(text.substr(0, text.find(L'\0')))};
      break;
    }
    case REG_MULTI_SZ: {
      const std::wstring text = Text(data);
      for (std::size_t start = 0; start < text.size() && text[start] != L'\0';) {
        const std::size_t end = std::min(text.find(L'\0', start), text.size());
        value.texts.push_back(Utf8(text.substr(start, end - start)));
        start = end + 1;
      }
      break;
    }
    case REG_DWORD:
      for (std::size_t i = 0; i < data.size() && i < 4; ++i) {
        value.number |= static_cast<std::uint32_t>(data[i]) << (8 * i);
      }
      break;
    default:
      value.bytes.assign(data.begin(), data.end());
      break;
  }
  return value;
}

bool WriteRegistryValue(std::string_view path, std::string_view name,
                        const scenario::RegValue& value) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, Wide(path).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  std::vector<BYTE> data;
  switch (value.type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
      data = Bytes(value.texts.empty() ? std::wstring() : Wide(value.texts.front()));
      break;
    case REG_MULTI_SZ: {
      std::wstring list;
      for (const auto& text : value.texts) list += Wide(text) + L'\0';
      data = Bytes(list);
      break;
    }
    case REG_DWORD:
      for (int i = 0; i < 4; ++i)
        data.push_back(static_cast<BYTE>((value.number >> (8 * i)) & 0xFF));
      break;
    default:
      data.assign(value.bytes.begin(), value.bytes.end());
      break;
  }
  const LONG status =
      RegSetValueExW(key, Wide(name).c_str(), 0, value.type, data.empty() ? nullptr : data.data(),
                     static_cast<DWORD>(data.size()));
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

bool DeleteRegistryValue(std::string_view path, std::string_view name) {
  const HKEY key = Open(path, KEY_SET_VALUE);
  if (!key) return false;
  const LONG status = RegDeleteValueW(key, Wide(name).c_str());
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

bool DeleteRegistryKey(std::string_view path) {
  const std::wstring wide = Wide(path);
  if (wide.empty()) return false;
  const HKEY key = Open(path, KEY_READ);
  if (!key) return false;
  RegCloseKey(key);
  RegDeleteTreeW(HKEY_CURRENT_USER, wide.c_str());
  return RegDeleteKeyW(HKEY_CURRENT_USER, wide.c_str()) == ERROR_SUCCESS;
}

// A key with its values and subkeys, as it was.
struct RegistrySandbox::Snapshot {
  std::string path;
  bool existed = false;
  struct Value {
    std::wstring name;
    DWORD type;
    std::vector<BYTE> data;
  };
  struct Key {
    std::vector<Value> values;
    std::map<std::wstring, Key> subkeys;
  };
  Key key;

  static void Read(HKEY handle, Key& into) {
    for (DWORD index = 0;; ++index) {
      wchar_t name[16384];
      DWORD name_length = 16384;
      DWORD type = 0;
      DWORD size = 0;
      if (RegEnumValueW(handle, index, name, &name_length, nullptr, &type, nullptr, &size) !=
          ERROR_SUCCESS) {
        break;
      }
      Value value{std::wstring(name, name_length), type, std::vector<BYTE>(size)};
      DWORD read = size;
      RegQueryValueExW(handle, value.name.c_str(), nullptr, &type,
                       value.data.empty() ? nullptr : value.data.data(), &read);
      value.data.resize(read);
      into.values.push_back(std::move(value));
    }
    for (DWORD index = 0;; ++index) {
      wchar_t name[256];
      DWORD length = 256;
      if (RegEnumKeyExW(handle, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS) {
        break;
      }
      HKEY child = nullptr;
      if (RegOpenKeyExW(handle, name, 0, KEY_READ, &child) == ERROR_SUCCESS) {
        Read(child, into.subkeys[std::wstring(name, length)]);
        RegCloseKey(child);
      }
    }
  }

  static void Write(HKEY parent, const std::wstring& name, const Key& from) {
    HKEY handle = nullptr;
    if (RegCreateKeyExW(parent, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle,
                        nullptr) != ERROR_SUCCESS) {
      return;
    }
    for (const Value& value : from.values) {
      RegSetValueExW(handle, value.name.c_str(), 0, value.type,
                     value.data.empty() ? nullptr : value.data.data(),
                     static_cast<DWORD>(value.data.size()));
    }
    for (const auto& [child, key] : from.subkeys) Write(handle, child, key);
    RegCloseKey(handle);
  }
};

RegistrySandbox::RegistrySandbox() {
  Keep(kAddinKey);
  DeleteRegistryKey(kAddinKey);
  for (const ClearedValue& cleared : kClearedValues) {
    Keep(cleared.path);
    DeleteRegistryValue(cleared.path, cleared.name);
  }
}

RegistrySandbox::~RegistrySandbox() {
  for (auto it = kept_.rbegin(); it != kept_.rend(); ++it) {
    const Snapshot& snapshot = **it;
    const std::wstring path = Wide(snapshot.path);
    RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
    if (snapshot.existed) Snapshot::Write(HKEY_CURRENT_USER, path, snapshot.key);
  }
}

void RegistrySandbox::Keep(std::string_view path) {
  for (const auto& kept : kept_) {
    if (kept->path.size() == path.size() &&
        CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, kept->path.data(),
                       static_cast<int>(path.size()), path.data(),
                       static_cast<int>(path.size())) == CSTR_EQUAL) {
      return;
    }
  }
  auto snapshot = std::make_unique<Snapshot>();
  snapshot->path = path;
  if (const HKEY key = Open(path, KEY_READ)) {
    snapshot->existed = true;
    Snapshot::Read(key, snapshot->key);
    RegCloseKey(key);
  }
  kept_.push_back(std::move(snapshot));
}

}  // namespace vestrano::xlsim::win32
