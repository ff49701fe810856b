// The PE reader on small images made in memory: machine and version of both kinds of image, an
// image without resources, and images cut short or with offsets pointing anywhere, which must
// give no version (or no facts) and never read past the buffer.
#include <gtest/gtest.h>

#include <vector>

#include "base/module_image.h"
#include "tests/module_bytes.h"

namespace vestrano {
namespace {

TEST(ModuleImage, ReadsMachineAndVersionOfBothKinds) {
  for (const std::uint16_t machine : {kMachineI386, kMachineAmd64}) {
    const auto facts = ReadModuleFacts(testing::ModuleBytes(machine, FileVersion{3, 10, 2, 7}));
    ASSERT_TRUE(facts) << machine;
    EXPECT_EQ(facts->machine, machine);
    EXPECT_EQ(facts->version, (FileVersion{3, 10, 2, 7}));
  }
  const auto bare = ReadModuleFacts(testing::ModuleBytes(kMachineAmd64, std::nullopt));
  ASSERT_TRUE(bare);
  EXPECT_EQ(bare->machine, kMachineAmd64);
  EXPECT_FALSE(bare->version);
  // Numbers, not text: 3.10 is newer than 3.9.
  EXPECT_LT((FileVersion{3, 9, 0, 0}), (FileVersion{3, 10, 0, 0}));
}

TEST(ModuleImage, DamagedImagesGiveNoFactsOrNoVersionAndStayInsideTheBuffer) {
  const std::vector<std::uint8_t> whole =
      testing::ModuleBytes(kMachineI386, FileVersion{3, 1, 0, 0});
  for (std::size_t length = 0; length < whole.size(); ++length) {
    const auto facts = ReadModuleFacts(std::span(whole.data(), length));
    // The file version is the last thing read: 56 bytes into the record, which starts 0x58
    // into the section's data at 0x200.
    // The headers end with the optional header's size, at 0x54.
    EXPECT_EQ(facts.has_value(), length >= 0x56) << length;
    EXPECT_EQ(facts && facts->version, length >= 0x200 + 0x58 + 56) << length;
  }
  EXPECT_FALSE(ReadModuleFacts(std::vector<std::uint8_t>(600, 0)));

  // Every byte set to 0xFF in turn: offsets that point past the end, counts far too large, a
  // signature that is not one. The sanitizers see to it that no read leaves the buffer.
  for (std::size_t at = 0; at < whole.size(); ++at) {
    std::vector<std::uint8_t> damaged = whole;
    damaged[at] = 0xFF;
    (void)ReadModuleFacts(damaged);
  }
  std::vector<std::uint8_t> unsigned_record = whole;
  unsigned_record[0x200 + 0x58 + 40] ^= 1;
  const auto facts = ReadModuleFacts(unsigned_record);
  ASSERT_TRUE(facts);
  EXPECT_FALSE(facts->version);
}

}  // namespace
}  // namespace vestrano
