// Reading and writing single registry values for the settings, and the CLng-style conversion of
// text that a setting stored as REG_SZ needs on its way into a 32-bit integer.
#include "core/settings_store.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <variant>

#include "host/platform.h"
#include "host/platform_handles.h"
#include "host/registry.h"

namespace vestrano {
namespace {

// The fixed buffer that REG_SZ values are read into: 254 ANSI bytes of text and the NUL.
constexpr std::uint32_t kTextBufferBytes = 255;
constexpr std::uint32_t kLongBytes = 4;

bool IsBlank(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Digits of `radix` 8 or 16 after "&O" / "&H". Up to 32 bits are accepted and taken as the bit
// pattern of the result, so "&HFFFFFFFF" is -1 as in VB.
std::optional<std::int32_t> RadixToLong(std::string_view digits, unsigned radix) {
  if (digits.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : digits) {
    unsigned digit = radix;
    if (IsDigit(c)) {
      digit = static_cast<unsigned>(c - '0');
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else if (c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    }
    if (digit >= radix) return std::nullopt;
    value = value * radix + digit;
    if (value > 0xFFFFFFFFu) return std::nullopt;
  }
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// A decimal number with optional sign, fraction and exponent. The digits are kept as text and
// scaled by moving the decimal point, so that no length of input or size of exponent can
// overflow or loop for long.
std::optional<std::int32_t> DecimalToLong(std::string_view text) {
  std::size_t at = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) ++at;

  std::string digits;
  std::int64_t exponent = 0;  // value = digits * 10^exponent
  for (; at < text.size() && IsDigit(text[at]); ++at) digits.push_back(text[at]);
  if (at < text.size() && text[at] == '.') {
    for (++at; at < text.size() && IsDigit(text[at]); ++at, --exponent) digits.push_back(text[at]);
  }
  if (digits.empty()) return std::nullopt;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    const bool negative_exponent = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
    if (at == text.size() || !IsDigit(text[at])) return std::nullopt;
    std::int64_t written = 0;
    // Beyond a billion the answer is overflow or zero whatever the exact figure.
    for (; at < text.size() && IsDigit(text[at]); ++at) {
      written = std::min<std::int64_t>(written * 10 + (text[at] - '0'), 1'000'000'000);
    }
    exponent += negative_exponent ? -written : written;
  }
  if (at != text.size()) return std::nullopt;

  const auto first = digits.find_first_not_of('0');
  if (first == std::string::npos) return 0;
  const auto last = digits.find_last_not_of('0');
  exponent += static_cast<std::int64_t>(digits.size() - 1 - last);
  digits = digits.substr(first, last + 1 - first);

  // Digits before the decimal point. More than ten is at least 10^10; fewer than none is below
  // 0.1, which rounds to zero.
  const std::int64_t whole = static_cast<std::int64_t>(digits.size()) + exponent;
  if (whole > 10) return std::nullopt;
  if (whole < 0) return 0;
  std::int64_t magnitude = 0;
  for (std::int64_t i = 0; i < whole; ++i) {
    const auto index = static_cast<std::size_t>(i);
    magnitude = magnitude * 10 + (index < digits.size() ? digits[index] - '0' : 0);
  }
  if (static_cast<std::size_t>(whole) < digits.size()) {
    // Trailing zeros are gone, so a fraction longer than one digit is never exactly a half.
    const std::string_view fraction =
        std::string_view(digits).substr(static_cast<std::size_t>(whole));
    const bool above_half = fraction[0] > '5' || (fraction[0] == '5' && fraction.size() > 1);
    const bool half = fraction[0] == '5' && fraction.size() == 1;
    if (above_half || (half && magnitude % 2 == 1)) ++magnitude;
  }
  if (magnitude > (negative ? 2147483648LL : 2147483647LL)) return std::nullopt;
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

// A REG_SZ or REG_EXPAND_SZ's text: up to the first NUL, or all the bytes read when the writer
// left the NUL out (a common fault of other programs, and no reason to lose the setting).
std::string TextOf(host::IRegistry& registry, std::string_view data) {
  return registry.FromAnsi(data.substr(0, data.find('\0')));
}

// The value as text or number, or nothing when there is none, it cannot be read, or its type
// is not one the settings use.
std::optional<RegVariant> ReadValue(host::IRegistry& registry, host::RegKey key,
                                    std::string_view name) {
  const host::RegQueryResult probe = registry.QueryValue(key, name, 0);
  if (probe.status != host::kErrorSuccess) return std::nullopt;
  switch (probe.type) {
    case host::kRegSz: {
      // The size asked for above is deliberately not used: a longer text does not fit.
      const host::RegQueryResult read = registry.QueryValue(key, name, kTextBufferBytes);
      if (read.status != host::kErrorSuccess) return std::nullopt;
      return TextOf(registry, read.data);
    }
    case host::kRegExpandSz: {
      const host::RegQueryResult read = registry.QueryValue(key, name, probe.size);
      if (read.status != host::kErrorSuccess) return std::nullopt;
      return TextOf(registry, read.data);
    }
    case host::kRegBinary:
    case host::kRegDword: {
      // Data longer than four bytes does not fit the 32-bit destination and is left unread
      // rather than cut short: a truncated number would be a wrong setting. Shorter data is
      // zero-extended.
      const host::RegQueryResult read = registry.QueryValue(key, name, kLongBytes);
      if (read.status != host::kErrorSuccess || read.data.size() > kLongBytes) return std::nullopt;
      std::uint32_t bits = 0;
      for (std::size_t i = read.data.size(); i-- > 0;) {
        bits = (bits << 8) | static_cast<unsigned char>(read.data[i]);
      }
      return static_cast<std::int32_t>(bits);
    }
    default:
      return std::nullopt;
  }
}

// Opens the key for reading, reads the value and closes the key again.
std::optional<RegVariant> ReadSetting(std::uint32_t root, std::string_view path,
                                      std::string_view name) {
  host::IRegistry* registry = host::CurrentPlatform().registry;
  if (registry == nullptr) return std::nullopt;
  host::UniqueRegKey key;
  if (registry->OpenKey(root, path, host::kKeyRead, *key.Put()) != host::kErrorSuccess) {
    return std::nullopt;
  }
  return ReadValue(*registry, key.Get(), name);
}

// The bytes that `type` stores for `value`; nothing for a type the settings do not write or a
// text that is not a number where a number is needed (writing 0 instead would silently reset
// the setting).
std::optional<std::string> EncodeValue(host::IRegistry& registry, std::uint32_t type,
                                       const RegVariant& value) {
  switch (type) {
    case host::kRegSz:
    case host::kRegExpandSz: {
      const auto* number = std::get_if<std::int32_t>(&value);
      std::string bytes =
          registry.ToAnsi(number ? std::to_string(*number) : std::get<std::string>(value));
      bytes.push_back('\0');
      return bytes;
    }
    case host::kRegBinary:
    case host::kRegDword: {
      const auto* text = std::get_if<std::string>(&value);
      const std::optional<std::int32_t> number =
          text ? TextToLong(*text) : std::get<std::int32_t>(value);
      if (!number) return std::nullopt;
      const auto bits = static_cast<std::uint32_t>(*number);
      std::string bytes(kLongBytes, '\0');
      for (std::size_t i = 0; i < kLongBytes; ++i) {
        bytes[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
      }
      return bytes;
    }
    default:
      return std::nullopt;
  }
}

}  // namespace

std::optional<std::int32_t> TextToLong(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  if (text.size() >= 2 && text[0] == '&') {
    if (text[1] == 'H' || text[1] == 'h') return RadixToLong(text.substr(2), 16);
    if (text[1] == 'O' || text[1] == 'o') return RadixToLong(text.substr(2), 8);
    return std::nullopt;
  }
  return DecimalToLong(text);
}

bool GetRegValue(std::uint32_t root, std::string_view path, std::string_view name,
                 std::int32_t& destination) {
  if (const auto value = ReadSetting(root, path, name)) {
    if (const auto* number = std::get_if<std::int32_t>(&*value)) {
      destination = *number;
    } else if (const auto converted = TextToLong(std::get<std::string>(*value))) {
      destination = *converted;
    }
  }
  return true;
}

bool GetRegValue(std::uint32_t root, std::string_view path, std::string_view name,
                 std::string& destination) {
  if (const auto value = ReadSetting(root, path, name)) {
    const auto* number = std::get_if<std::int32_t>(&*value);
    destination = number ? std::to_string(*number) : std::get<std::string>(*value);
  }
  return true;
}

bool SetRegValue(std::uint32_t root, std::string_view path, std::string_view name,
                 std::uint32_t type, const RegVariant& value) {
  host::IRegistry* registry = host::CurrentPlatform().registry;
  if (registry == nullptr) return true;
  host::UniqueRegKey key;
  if (registry->CreateKey(root, path, host::kKeyWrite, *key.Put()) != host::kErrorSuccess) {
    return true;
  }
  if (const auto bytes = EncodeValue(*registry, type, value)) {
    registry->SetValue(key.Get(), name, type, *bytes);
  }
  return true;
}

}  // namespace vestrano
