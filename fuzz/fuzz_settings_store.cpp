// Fuzzes the settings store through its real path: a value of any type and bytes is put in the
// in-memory registry, installed as the platform's, and read back with GetRegValue into either
// kind of destination, with a registry call made to fail when the input asks; then SetRegValue
// writes the input as a value and reads it back. TextToLong, which every text setting passes
// through, is also fed the bytes directly.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "core/settings_store.h"
#include "fuzz/fuzz_bodies.h"
#include "fuzz/fuzz_support.h"
#include "host/fake/fake_registry.h"
#include "host/platform.h"

namespace vestrano::fuzz {
namespace {

constexpr std::uint32_t kRoot = host::kHkeyCurrentUser;
constexpr std::string_view kPath = "Software\\Fuzz";
constexpr std::string_view kName = "Value";
constexpr std::string_view kUnchanged = "unchanged";

// Which registry call the input makes fail.
enum class Fault { kNone, kOpenKey, kFirstQuery, kEveryQuery, kCloseKey, kCreateKey, kSetValue };

// The input, laid out as: type, flags, a 32-bit number (little-endian), the value's bytes.
struct Plan {
  std::uint32_t type = 0;
  bool text_destination = false;
  Fault fault = Fault::kNone;
  bool write_number = false;
  std::int32_t number = 0;
  std::string bytes;
};

Plan ReadPlan(std::string_view input) {
  const auto at = [&](std::size_t i) {
    return i < input.size() ? static_cast<unsigned char>(input[i]) : 0u;
  };
  Plan plan;
  plan.type = at(0) & 0x0F;  // REG_NONE to REG_QWORD, and four types no one defines
  plan.text_destination = (at(1) & 1) != 0;
  const unsigned fault = (at(1) >> 1) & 7;
  plan.fault = fault <= 6 ? static_cast<Fault>(fault) : Fault::kNone;
  plan.write_number = (at(1) & 0x10) != 0;
  std::uint32_t bits = 0;
  for (std::size_t i = 0; i < 4; ++i) bits |= static_cast<std::uint32_t>(at(2 + i)) << (8 * i);
  plan.number = static_cast<std::int32_t>(bits);
  if (input.size() > 6) plan.bytes = std::string(input.substr(6));
  return plan;
}

std::string LittleEndian(std::int32_t number) {
  std::string bytes(4, '\0');
  for (std::size_t i = 0; i < 4; ++i) {
    bytes[i] = static_cast<char>((static_cast<std::uint32_t>(number) >> (8 * i)) & 0xFF);
  }
  return bytes;
}

std::string InRadix(std::int32_t number, unsigned radix) {
  auto bits = static_cast<std::uint32_t>(number);
  std::string digits;
  do {
    digits.insert(digits.begin(), "0123456789ABCDEF"[bits % radix]);
    bits /= radix;
  } while (bits != 0);
  return digits;
}

std::string Shown(const std::optional<std::int32_t>& number) {
  return number ? std::to_string(*number) : "none";
}

// What GetRegValue promises to read for each type, as a number or a text; nothing for a value
// it leaves alone.
std::optional<RegVariant> Readable(host::IRegistry& registry, std::uint32_t type,
                                   const std::string& bytes) {
  const std::string text = registry.FromAnsi(bytes.substr(0, bytes.find('\0')));
  switch (type) {
    case host::kRegSz:
      if (bytes.size() > 255) return std::nullopt;
      return text;
    case host::kRegExpandSz:
      return text;
    case host::kRegBinary:
    case host::kRegDword: {
      if (bytes.size() > 4) return std::nullopt;
      std::uint32_t bits = 0;
      for (std::size_t i = 0; i < bytes.size(); ++i) {
        bits |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
      }
      return static_cast<std::int32_t>(bits);
    }
    default:
      return std::nullopt;
  }
}

// Installs a fresh registry as the platform's for one input, and removes it again.
struct InstalledRegistry {
  fake::HostCalls calls;
  fake::FakeRegistry registry{calls};
  InstalledRegistry() {
    calls.SetLogging(false);
    host::CurrentPlatform().registry = &registry;
  }
  ~InstalledRegistry() { host::CurrentPlatform().registry = nullptr; }
  InstalledRegistry(const InstalledRegistry&) = delete;
  InstalledRegistry& operator=(const InstalledRegistry&) = delete;
};

std::string CheckRead(const Plan& plan) {
  InstalledRegistry installed;
  auto& calls = installed.calls;
  auto& registry = installed.registry;
  registry.Put(kRoot, kPath, kName, plan.type, plan.bytes);
  switch (plan.fault) {
    case Fault::kOpenKey:
      calls.FailCall("Registry.OpenKey", 1);
      break;
    case Fault::kFirstQuery:
      calls.FailCall("Registry.QueryValue", 1);
      break;
    case Fault::kEveryQuery:
      calls.FailCall("Registry.QueryValue");
      break;
    case Fault::kCloseKey:
      calls.FailCall("Registry.CloseKey");
      break;
    default:
      break;
  }
  const bool blocked = plan.fault == Fault::kOpenKey || plan.fault == Fault::kFirstQuery ||
                       plan.fault == Fault::kEveryQuery;
  const std::optional<RegVariant> readable =
      blocked ? std::nullopt : Readable(registry, plan.type, plan.bytes);
  const std::string what =
      " reading type " + std::to_string(plan.type) + " bytes " + fuzz::Shown(plan.bytes);

  if (plan.text_destination) {
    std::string destination(kUnchanged);
    GetRegValue(kRoot, kPath, kName, destination);
    std::string expected(kUnchanged);
    if (readable) {
      const auto* number = std::get_if<std::int32_t>(&*readable);
      expected = number ? std::to_string(*number) : std::get<std::string>(*readable);
    }
    if (destination != expected) {
      return "text destination became " + fuzz::Shown(destination) + ", not " +
             fuzz::Shown(expected) + what;
    }
  } else {
    std::int32_t destination = plan.number;
    GetRegValue(kRoot, kPath, kName, destination);
    std::int32_t expected = plan.number;
    if (readable) {
      const auto* number = std::get_if<std::int32_t>(&*readable);
      expected = number ? *number : TextToLong(std::get<std::string>(*readable)).value_or(expected);
    }
    if (destination != expected) {
      return "number destination became " + std::to_string(destination) + ", not " +
             std::to_string(expected) + what;
    }
  }
  if (calls.CountOf("Registry.CreateKey") + calls.CountOf("Registry.SetValue") != 0) {
    return "a read wrote to the registry" + what;
  }
  if (plan.fault != Fault::kCloseKey && registry.OpenHandleCount() != 0) {
    return "a read left a key open" + what;
  }
  if (registry.Peek(kRoot, kPath, kName) != fake::StoredValue{plan.type, plan.bytes}) {
    return "a read changed the value" + what;
  }
  return {};
}

std::string CheckWrite(const Plan& plan) {
  InstalledRegistry installed;
  auto& calls = installed.calls;
  auto& registry = installed.registry;
  const fake::StoredValue before{host::kRegBinary, "before"};
  registry.Put(kRoot, kPath, kName, before.type, before.bytes);
  if (plan.fault == Fault::kCreateKey) calls.FailCall("Registry.CreateKey", 1);
  if (plan.fault == Fault::kSetValue) calls.FailCall("Registry.SetValue", 1);

  const RegVariant value = plan.write_number ? RegVariant{plan.number} : RegVariant{plan.bytes};
  const std::string what =
      " writing type " + std::to_string(plan.type) + " value " +
      (plan.write_number ? std::to_string(plan.number) : fuzz::Shown(plan.bytes));
  if (!SetRegValue(kRoot, kPath, kName, plan.type, value)) return "SetRegValue failed" + what;

  std::optional<fake::StoredValue> expected = before;
  const bool written = plan.fault != Fault::kCreateKey && plan.fault != Fault::kSetValue;
  const std::optional<std::int32_t> number =
      plan.write_number ? std::optional<std::int32_t>(plan.number) : TextToLong(plan.bytes);
  if (written && (plan.type == host::kRegSz || plan.type == host::kRegExpandSz)) {
    const std::string text = plan.write_number ? std::to_string(plan.number) : plan.bytes;
    expected = fake::StoredValue{plan.type, registry.ToAnsi(text) + '\0'};
  } else if (written && number && (plan.type == host::kRegBinary || plan.type == host::kRegDword)) {
    expected = fake::StoredValue{plan.type, LittleEndian(*number)};
  }
  if (registry.Peek(kRoot, kPath, kName) != expected) return "the wrong bytes were stored" + what;
  calls.StopFailing();

  // What was written reads back as what was meant.
  std::int32_t read_number = plan.number ^ 1;
  std::string read_text(kUnchanged);
  GetRegValue(kRoot, kPath, kName, read_number);
  GetRegValue(kRoot, kPath, kName, read_text);
  if (!written || expected == before) return {};
  if (plan.type == host::kRegBinary || plan.type == host::kRegDword ||
      (plan.write_number && (plan.type == host::kRegSz || plan.type == host::kRegExpandSz))) {
    if (read_number != *number || read_text != std::to_string(*number)) {
      return "a number read back as " + std::to_string(read_number) + " and " +
             fuzz::Shown(read_text) + what;
    }
    return {};
  }
  const bool fits = plan.type == host::kRegExpandSz || plan.bytes.size() <= 254;
  if (fits && plan.bytes.find('\0') == std::string::npos &&
      registry.ToAnsi(plan.bytes) == plan.bytes && read_text != plan.bytes) {
    return "a text read back as " + fuzz::Shown(read_text) + what;
  }
  return {};
}

bool IsBlank(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// A sign, digits with an optional point, and an optional exponent: the one form that strtod
// and TextToLong both read as a decimal number.
bool IsPlainDecimal(std::string_view text) {
  std::size_t at = 0;
  const auto digits = [&] {
    const std::size_t start = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
    return at - start;
  };
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  std::size_t mantissa = digits();
  if (at < text.size() && text[at] == '.') {
    ++at;
    mantissa += digits();
  }
  if (mantissa == 0) return false;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    if (digits() == 0) return false;
  }
  return at == text.size();
}

std::string CheckTextToLong(std::string_view bytes, std::int32_t number) {
  const std::optional<std::int32_t> value = TextToLong(bytes);
  const std::string what = " for " + fuzz::Shown(bytes);
  for (const std::string& written :
       {std::to_string(number), "&H" + InRadix(number, 16), "&o" + InRadix(number, 8)}) {
    if (TextToLong(written) != number) {
      return fuzz::Shown(written) + " did not convert to " + std::to_string(number);
    }
  }
  if (TextToLong(" \t" + std::string(bytes) + "\r\n ") != value) {
    return "blanks around the text changed its value" + what;
  }
  const std::string_view text = Trimmed(bytes);
  if (!text.empty() && (text[0] == '.' || (text[0] >= '0' && text[0] <= '9'))) {
    const std::optional<std::int32_t> negated = TextToLong("-" + std::string(text));
    const bool symmetric =
        value ? negated == -static_cast<std::int64_t>(*value) : !negated || *negated == INT32_MIN;
    if (!symmetric) {
      return "a minus sign gave " + Shown(negated) + " where the text gave " + Shown(value) + what;
    }
  }
  if (IsPlainDecimal(text)) {
    // strtod rounds correctly, so within the range it is at most half a unit from the rounded
    // integer; well outside it the text cannot convert.
    const double exact = std::strtod(std::string(text).c_str(), nullptr);
    if (exact >= -2147483648.0 && exact <= 2147483647.0) {
      if (!value || std::fabs(*value - exact) > 0.5 + 1e-6) {
        return "converted to " + Shown(value) + " where strtod reads " + std::to_string(exact) +
               what;
      }
    } else if ((exact > 2147483648.0 || exact < -2147483649.0) && value) {
      return "an out-of-range number converted to " + Shown(value) + what;
    }
  }
  return {};
}

}  // namespace

std::string FuzzSettingsStore(std::string_view input) {
  const Plan plan = ReadPlan(input.substr(0, kSettingsStoreMaxBytes));
  if (std::string broken = CheckRead(plan); !broken.empty()) return broken;
  if (std::string broken = CheckWrite(plan); !broken.empty()) return broken;
  return CheckTextToLong(plan.bytes, plan.number);
}

}  // namespace vestrano::fuzz
