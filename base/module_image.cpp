// A reader of PE headers and of the one resource it needs. Offsets are 64-bit so that no sum of
// two 32-bit fields read from the file can wrap; every read is checked against the buffer.
#include "base/module_image.h"

#include <algorithm>
#include <string_view>

namespace vestrano {
namespace {

constexpr std::uint32_t kVersionResourceType = 16;  // RT_VERSION
constexpr std::uint32_t kResourceDirectoryIndex = 2;
constexpr std::uint32_t kFixedInfoSignature = 0xFEEF04BD;
constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr std::u16string_view kVersionKey = u"VS_VERSION_INFO";

class Bytes {
 public:
  explicit Bytes(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::optional<std::uint16_t> U16(std::uint64_t at) const {
    if (at > bytes_.size() || bytes_.size() - at < 2) return std::nullopt;
    return static_cast<std::uint16_t>(bytes_[at] | bytes_[at + 1] << 8);
  }
  std::optional<std::uint32_t> U32(std::uint64_t at) const {
    const auto low = U16(at);
    const auto high = U16(at + 2);
    if (!low || !high) return std::nullopt;
    return static_cast<std::uint32_t>(*low) | static_cast<std::uint32_t>(*high) << 16;
  }

 private:
  std::span<const std::uint8_t> bytes_;
};

struct Section {
  std::uint32_t address;  // where it is mapped, relative to the image base
  std::uint32_t mapped_size;
  std::uint32_t file_offset;
  std::uint32_t file_size;
};

class Image {
 public:
  explicit Image(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  // Reads the headers; false when they are not a PE image's.
  bool ReadHeaders() {
    if (bytes_.U16(0) != 0x5A4D) return false;  // "MZ"
    const auto pe = bytes_.U32(0x3C);
    if (!pe || bytes_.U32(*pe) != 0x00004550) return false;  // "PE\0\0"
    const std::uint64_t coff = std::uint64_t{*pe} + 4;
    const auto machine = bytes_.U16(coff);
    const auto sections = bytes_.U16(coff + 2);
    const auto optional_size = bytes_.U16(coff + 16);
    if (!machine || !sections || !optional_size) return false;
    machine_ = *machine;
    optional_header_ = coff + 20;
    section_table_ = optional_header_ + *optional_size;
    section_count_ = *sections;
    return true;
  }

  std::uint16_t Machine() const { return machine_; }

  std::optional<FileVersion> Version() const {
    const auto resources = ResourceDirectory();
    if (!resources) return std::nullopt;
    // Type, then name, then language: the type is RT_VERSION, the others the first there is.
    const auto by_name = SubdirectoryOf(*resources, *resources, kVersionResourceType);
    const auto by_language =
        by_name ? SubdirectoryOf(*resources, *by_name, std::nullopt) : std::nullopt;
    const auto data_entry = by_language ? EntryOf(*by_language, std::nullopt) : std::nullopt;
    if (!data_entry || (*data_entry & kHighBit)) return std::nullopt;
    const std::uint64_t entry = *resources + *data_entry;
    const auto address = bytes_.U32(entry);
    const auto size = bytes_.U32(entry + 4);
    const auto block = address ? FileOffset(*address) : std::nullopt;
    if (!block || !size) return std::nullopt;
    return FixedFileVersion(*block, *size);
  }

 private:
  // The file offset of an address relative to the image base, inside a section's file data.
  std::optional<std::uint64_t> FileOffset(std::uint32_t address) const {
    for (std::uint32_t i = 0; i < section_count_; ++i) {
      const auto section = SectionAt(i);
      if (!section) return std::nullopt;
      if (address < section->address) continue;
      // Some linkers leave the mapped size 0; the file data then is the section.
      const std::uint32_t into = address - section->address;
      const std::uint32_t mapped = section->mapped_size ? section->mapped_size : section->file_size;
      if (into < std::min(mapped, section->file_size)) {
        return std::uint64_t{section->file_offset} + into;
      }
    }
    return std::nullopt;
  }

  std::optional<Section> SectionAt(std::uint32_t index) const {
    const std::uint64_t at = section_table_ + std::uint64_t{index} * 40;
    const auto mapped_size = bytes_.U32(at + 8);
    const auto address = bytes_.U32(at + 12);
    const auto file_size = bytes_.U32(at + 16);
    const auto file_offset = bytes_.U32(at + 20);
    if (!mapped_size || !address || !file_size || !file_offset) return std::nullopt;
    return Section{*address, *mapped_size, *file_offset, *file_size};
  }

  // The file offset of the resource tree's root; empty when the image has no resources.
  std::optional<std::uint64_t> ResourceDirectory() const {
    const auto magic = bytes_.U16(optional_header_);
    std::uint64_t count_at = 0;
    if (magic == 0x10B) {
      count_at = optional_header_ + 92;  // PE32
    } else if (magic == 0x20B) {
      count_at = optional_header_ + 108;  // PE32+
    } else {
      return std::nullopt;
    }
    const auto count = bytes_.U32(count_at);
    if (!count || *count <= kResourceDirectoryIndex) return std::nullopt;
    const auto address = bytes_.U32(count_at + 4 + kResourceDirectoryIndex * 8);
    if (!address || *address == 0) return std::nullopt;
    return FileOffset(*address);
  }

  // The OffsetToData of a directory's entry with that numeric id, or of its first entry.
  std::optional<std::uint32_t> EntryOf(std::uint64_t directory,
                                       std::optional<std::uint32_t> id) const {
    const auto named = bytes_.U16(directory + 12);
    const auto numbered = bytes_.U16(directory + 14);
    if (!named || !numbered) return std::nullopt;
    const std::uint32_t count = std::uint32_t{*named} + *numbered;
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::uint64_t entry = directory + 16 + std::uint64_t{i} * 8;
      const auto name = bytes_.U32(entry);
      const auto data = bytes_.U32(entry + 4);
      if (!name || !data) return std::nullopt;
      if (!id || *name == *id) return *data;
    }
    return std::nullopt;
  }

  std::optional<std::uint64_t> SubdirectoryOf(std::uint64_t root, std::uint64_t directory,
                                              std::optional<std::uint32_t> id) const {
    const auto data = EntryOf(directory, id);
    if (!data || !(*data & kHighBit)) return std::nullopt;
    return root + (*data & ~kHighBit);
  }

  // VS_VERSIONINFO: length, value length and type, the key with its NUL, padding to 32 bits from
  // the block's start, then VS_FIXEDFILEINFO.
  std::optional<FileVersion> FixedFileVersion(std::uint64_t block, std::uint32_t size) const {
    const auto value_length = bytes_.U16(block + 2);
    if (!value_length || *value_length < 52) return std::nullopt;
    std::uint64_t at = block + 6;
    for (const char16_t expected : kVersionKey) {
      if (bytes_.U16(at) != expected) return std::nullopt;
      at += 2;
    }
    if (bytes_.U16(at) != 0) return std::nullopt;
    const std::uint64_t value = block + ((at + 2 - block + 3) & ~std::uint64_t{3});
    if (value - block + 52 > size || bytes_.U32(value) != kFixedInfoSignature) return std::nullopt;
    const auto high = bytes_.U32(value + 8);
    const auto low = bytes_.U32(value + 12);
    if (!high || !low) return std::nullopt;
    return FileVersion{static_cast<std::uint16_t>(*high >> 16), static_cast<std::uint16_t>(*high),
                       static_cast<std::uint16_t>(*low >> 16), static_cast<std::uint16_t>(*low)};
  }

  Bytes bytes_;
  std::uint16_t machine_ = 0;
  std::uint64_t optional_header_ = 0;
  std::uint64_t section_table_ = 0;
  std::uint32_t section_count_ = 0;
};

}  // namespace

std::optional<ModuleFacts> ReadModuleFacts(std::span<const std::uint8_t> image) {
  Image parsed(image);
  if (!parsed.ReadHeaders()) return std::nullopt;
  return ModuleFacts{parsed.Machine(), parsed.Version()};
}

}  // namespace vestrano
