// The two registry routines that every setting is read and written through, over the installed
// platform's registry. Both swallow every failure and return true: a read that fails leaves the
// destination as it was, a write that fails leaves the registry as it was, and a missing
// registry service makes both do nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace vestrano {

// What a setting holds in memory: a 32-bit integer or a text.
using RegVariant = std::variant<std::int32_t, std::string>;

// Reads one value into `destination`. REG_SZ (at most 254 ANSI bytes and the NUL) and
// REG_EXPAND_SZ (any length, not expanded) are text; REG_DWORD and REG_BINARY (at most four
// bytes) are numbers. A number is assigned to a text destination as its decimal text, a text to
// an integer destination through TextToLong. Other types, a missing value or key, and a text
// that is not a number leave the destination unchanged. Never creates anything.
bool GetRegValue(std::uint32_t root, std::string_view path, std::string_view name,
                 std::int32_t& destination);
bool GetRegValue(std::uint32_t root, std::string_view path, std::string_view name,
                 std::string& destination);

// Creates the key if needed and writes one value. Types 1 and 2 (REG_SZ, REG_EXPAND_SZ) write
// the value as text in the ANSI code page with its terminating NUL; types 3 and 4 (REG_BINARY,
// REG_DWORD) write it as four little-endian bytes. A text that is not a number, for types 3 and
// 4, and any other type write nothing.
bool SetRegValue(std::uint32_t root, std::string_view path, std::string_view name,
                 std::uint32_t type, const RegVariant& value);

// Text to a 32-bit integer as VB's CLng converts it: blanks around the number, an optional
// sign, decimal digits with an optional fraction (rounded half to even) and exponent, or "&H"
// hexadecimal and "&O" octal of up to 32 bits (which may wrap to negative). No value for an
// empty, malformed or out-of-range text.
std::optional<std::int32_t> TextToLong(std::string_view text);

}  // namespace vestrano
