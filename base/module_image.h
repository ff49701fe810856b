// What the start-up installation needs to know of a Windows module from its bytes alone: the
// machine it was built for (the COFF header's Machine field) and its file version (the
// VS_FIXEDFILEINFO of its version resource). The bytes come from files that anyone may have put
// there, so every offset is checked against the buffer and nothing is trusted.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <span>

namespace vestrano {

inline constexpr std::uint16_t kMachineI386 = 0x014C;
inline constexpr std::uint16_t kMachineAmd64 = 0x8664;

// Major, minor, build, revision, compared in that order.
struct FileVersion {
  std::uint16_t major = 0;
  std::uint16_t minor = 0;
  std::uint16_t build = 0;
  std::uint16_t revision = 0;
  auto operator<=>(const FileVersion&) const = default;
};

struct ModuleFacts {
  std::uint16_t machine = 0;
  // Empty when the module carries no readable version record.
  std::optional<FileVersion> version;
};

// Empty when the bytes are not a PE image (no MZ and PE signatures, or headers cut short).
std::optional<ModuleFacts> ReadModuleFacts(std::span<const std::uint8_t> image);

}  // namespace vestrano
