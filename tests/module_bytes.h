// Small PE images made in memory for the tests: the headers, one section, and in it a resource
// tree holding a version record, laid out as a linker and a resource compiler lay them out.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "base/module_image.h"

namespace vestrano::testing {

class ImageWriter {
 public:
  explicit ImageWriter(std::size_t size) : bytes_(size, 0) {}
  void U16(std::size_t at, std::uint16_t value) {
    bytes_[at] = static_cast<std::uint8_t>(value);
    bytes_[at + 1] = static_cast<std::uint8_t>(value >> 8);
  }
  void U32(std::size_t at, std::uint32_t value) {
    U16(at, static_cast<std::uint16_t>(value));
    U16(at + 2, static_cast<std::uint16_t>(value >> 16));
  }
  std::vector<std::uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<std::uint8_t> bytes_;
};

// PE32 for i386, PE32+ for anything else. Without a version, the image has no resources.
inline std::vector<std::uint8_t> ModuleBytes(std::uint16_t machine,
                                             std::optional<FileVersion> version) {
  constexpr std::size_t kPe = 0x40, kOptional = kPe + 24, kRaw = 0x200;
  constexpr std::uint32_t kSectionAddress = 0x1000;
  const bool plus = machine != kMachineI386;
  const std::size_t optional_size = plus ? 240 : 224;
  const std::size_t directories = kOptional + (plus ? 112 : 96);
  const std::size_t section = kOptional + optional_size;
  ImageWriter image(kRaw + 0x100);
  image.U16(0, 0x5A4D);
  image.U32(0x3C, kPe);
  image.U32(kPe, 0x00004550);
  image.U16(kPe + 4, machine);
  image.U16(kPe + 6, 1);
  image.U16(kPe + 20, static_cast<std::uint16_t>(optional_size));
  image.U16(kOptional, plus ? 0x20B : 0x10B);
  image.U32(directories - 4, 16);
  image.U32(section + 8, 0xF0);
  image.U32(section + 12, kSectionAddress);
  image.U32(section + 16, 0x100);
  image.U32(section + 20, kRaw);
  if (!version) return image.Take();
  image.U32(directories + 2 * 8, kSectionAddress);
  image.U32(directories + 2 * 8 + 4, 0xF0);
  // Type 16 (RT_VERSION) -> name 1 -> language 0x409 -> data entry -> VS_VERSIONINFO.
  const std::uint32_t kSubdirectory = 0x80000000u;
  image.U16(kRaw + 14, 1);
  image.U32(kRaw + 16, 16);
  image.U32(kRaw + 20, kSubdirectory | 0x18);
  image.U16(kRaw + 0x18 + 14, 1);
  image.U32(kRaw + 0x18 + 16, 1);
  image.U32(kRaw + 0x18 + 20, kSubdirectory | 0x30);
  image.U16(kRaw + 0x30 + 14, 1);
  image.U32(kRaw + 0x30 + 16, 0x409);
  image.U32(kRaw + 0x30 + 20, 0x48);
  image.U32(kRaw + 0x48, kSectionAddress + 0x58);
  image.U32(kRaw + 0x48 + 4, 92);
  const std::size_t info = kRaw + 0x58;
  image.U16(info, 92);
  image.U16(info + 2, 52);
  const char16_t key[] = u"VS_VERSION_INFO";
  for (std::size_t i = 0; i < 16; ++i) image.U16(info + 6 + 2 * i, key[i]);
  image.U32(info + 40, 0xFEEF04BD);
  image.U32(info + 44, 0x10000);
  image.U32(info + 48, static_cast<std::uint32_t>(version->major) << 16 | version->minor);
  image.U32(info + 52, static_cast<std::uint32_t>(version->build) << 16 | version->revision);
  return image.Take();
}

}  // namespace vestrano::testing
