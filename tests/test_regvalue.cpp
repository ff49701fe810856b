// The settings store: what GetRegValue and SetRegValue read and write for each value type, that
// failures leave both the destination and the registry alone, and that no key stays open. The
// fake registry's own rules (case, handles, buffer sizes) are checked first, since every other
// test of the settings trusts them.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "core/settings_keys.h"
#include "core/settings_store.h"
#include "host/fake/fake_registry.h"
#include "host/platform.h"

namespace vestrano {
namespace {

using namespace std::string_literals;

constexpr std::uint32_t kHkcu = host::kHkeyCurrentUser;

TEST(FakeRegistry, BehavesLikeTheAnsiRegistryCalls) {
  fake::HostCalls calls;
  fake::FakeRegistry registry(calls);
  ASSERT_TRUE(registry.Put(kHkcu, "Software\\A", "Value", host::kRegBinary, "\x01\x02\x03"s));

  host::RegKey key = 0;
  EXPECT_EQ(registry.OpenKey(kHkcu, "\\SOFTWARE\\a\\", host::kKeyRead, key), host::kErrorSuccess);
  auto probe = registry.QueryValue(key, "VALUE", 0);
  EXPECT_EQ(probe.status, host::kErrorSuccess);
  EXPECT_EQ(probe.type, host::kRegBinary);
  EXPECT_EQ(probe.size, 3u);
  EXPECT_TRUE(probe.data.empty());
  EXPECT_EQ(registry.QueryValue(key, "Value", 2).status, host::kErrorMoreData);
  EXPECT_TRUE(registry.QueryValue(key, "Value", 2).data.empty());
  EXPECT_EQ(registry.QueryValue(key, "Value", 3).data, "\x01\x02\x03"s);
  EXPECT_EQ(registry.QueryValue(key, "Other", 3).status, host::kErrorFileNotFound);
  EXPECT_NE(registry.SetValue(key, "Value", host::kRegDword, "x"), host::kErrorSuccess);
  EXPECT_EQ(registry.CloseKey(key), host::kErrorSuccess);
  EXPECT_EQ(registry.CloseKey(key), host::kErrorInvalidHandle);
  EXPECT_EQ(registry.QueryValue(key, "Value", 0).status, host::kErrorInvalidHandle);

  EXPECT_NE(registry.OpenKey(kHkcu, "Software\\\\A", host::kKeyRead, key), host::kErrorSuccess);
  EXPECT_EQ(key, 0u);
  EXPECT_NE(registry.CreateKey(kHkcu, "Software\\\\A", host::kKeyWrite, key), host::kErrorSuccess);
  EXPECT_EQ(registry.OpenKey(kHkcu, "Software\\B", host::kKeyRead, key), host::kErrorFileNotFound);
  EXPECT_FALSE(registry.KeyExists(kHkcu, "Software\\B"));

  // A key deleted under an open handle: the handle fails but can still be closed.
  ASSERT_EQ(registry.CreateKey(kHkcu, "Software\\A\\Sub", host::kKeyWrite, key),
            host::kErrorSuccess);
  EXPECT_TRUE(registry.Delete(kHkcu, "software\\a"));
  EXPECT_NE(registry.SetValue(key, "V", host::kRegDword, "1234"), host::kErrorSuccess);
  EXPECT_EQ(registry.CloseKey(key), host::kErrorSuccess);
  EXPECT_FALSE(registry.KeyExists(kHkcu, "Software\\A\\Sub"));
  EXPECT_EQ(registry.OpenHandleCount(), 0u);

  EXPECT_EQ(registry.ToAnsi("标签"), "标签");
  EXPECT_EQ(registry.FromAnsi("a\xFF\xE6\xA0"s), "a\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(registry.ToAnsi("a\xC0"s), "a?");
}

class RegValueTest : public ::testing::Test {
 protected:
  void SetUp() override { host::CurrentPlatform().registry = &registry_; }
  void TearDown() override {
    host::CurrentPlatform().registry = nullptr;
    EXPECT_EQ(registry_.OpenHandleCount(), 0u);
  }

  void Put(std::uint32_t type, const std::string& bytes) {
    ASSERT_TRUE(registry_.Put(kHkcu, kVestranoKey, kTabShowValue, type, bytes));
  }
  // Reads TabShow into an integer that starts at `start`.
  std::int32_t ReadInt(std::int32_t start = 7) {
    EXPECT_TRUE(GetRegValue(kHkcu, kVestranoKey, kTabShowValue, start));
    return start;
  }
  std::string ReadText(std::string start = "unchanged") {
    EXPECT_TRUE(GetRegValue(kHkcu, kVestranoKey, kTabShowValue, start));
    return start;
  }
  std::optional<fake::StoredValue> Stored() const {
    return registry_.Peek(kHkcu, kVestranoKey, kTabShowValue);
  }

  fake::HostCalls calls_;
  fake::FakeRegistry registry_{calls_};
};

TEST_F(RegValueTest, MissingKeyOrValueChangesNothing) {
  EXPECT_EQ(ReadInt(), 7);
  EXPECT_EQ(ReadText(), "unchanged");
  EXPECT_FALSE(registry_.KeyExists(kHkcu, kVestranoKey));

  ASSERT_TRUE(registry_.Put(kHkcu, kVestranoKey, kThemeValue, host::kRegDword, "\x02\0\0\0"s));
  EXPECT_EQ(ReadInt(), 7);
  EXPECT_EQ(calls_.CountOf("Registry.CreateKey") + calls_.CountOf("Registry.SetValue"), 0u);
  // Only the open that found the key is closed.
  EXPECT_EQ(calls_.CountOf("Registry.OpenKey"), 3u);
  EXPECT_EQ(calls_.CountOf("Registry.CloseKey"), 1u);

  // Key and value names are matched ignoring case, as Windows does.
  std::int32_t theme = 0;
  GetRegValue(kHkcu, "software\\microsoft\\shared tools\\VESTRANO", "theme", theme);
  EXPECT_EQ(theme, 2);
}

TEST_F(RegValueTest, NumbersFromDwordAndBinary) {
  Put(host::kRegDword, "\xFF\xFF\xFF\xFF"s);
  EXPECT_EQ(ReadInt(), -1);
  EXPECT_EQ(ReadText(), "-1");
  Put(host::kRegDword, "\x00\x00\x00\x80"s);
  EXPECT_EQ(ReadInt(), INT32_MIN);
  Put(host::kRegBinary, "\x01\x02"s);
  EXPECT_EQ(ReadInt(), 0x0201);
  Put(host::kRegBinary, "\x01\x02\x03\x04"s);
  EXPECT_EQ(ReadInt(), 0x04030201);
  Put(host::kRegBinary, "");
  EXPECT_EQ(ReadInt(), 0);
  Put(host::kRegBinary, "\x01\x02\x03\x04\x05"s);
  EXPECT_EQ(ReadInt(), 7);
  Put(host::kRegDword, "\x01\0\0\0\0\0\0\0"s);
  EXPECT_EQ(ReadInt(), 7);
}

TEST_F(RegValueTest, TextFromSzAndExpandSz) {
  Put(host::kRegSz, "1\0"s);
  EXPECT_EQ(ReadInt(), 1);
  Put(host::kRegSz, " -2 \0junk"s);
  EXPECT_EQ(ReadInt(), -2);
  EXPECT_EQ(ReadText(), " -2 ");
  Put(host::kRegSz, "3");  // written without its NUL by some other program
  EXPECT_EQ(ReadInt(), 3);
  Put(host::kRegSz, "yes\0"s);
  EXPECT_EQ(ReadInt(), 7);
  Put(host::kRegSz, "\0"s);
  EXPECT_EQ(ReadInt(), 7);
  EXPECT_EQ(ReadText(), "");

  // The 255-byte buffer, counted in ANSI bytes: 84 Chinese characters are 252 of them.
  const std::string chinese = [] {
    std::string text;
    for (int i = 0; i < 84; ++i) text += "标";
    return text;
  }();
  Put(host::kRegSz, chinese + "ab" + '\0');
  EXPECT_EQ(ReadText(), chinese + "ab");
  Put(host::kRegSz, chinese + "abc" + '\0');
  EXPECT_EQ(ReadText(), "unchanged");
  Put(host::kRegSz, std::string(254, '1') + '\0');
  EXPECT_EQ(ReadText(), std::string(254, '1'));
  Put(host::kRegSz, std::string(255, '1') + '\0');
  EXPECT_EQ(ReadText(), "unchanged");

  Put(host::kRegExpandSz, "%TEMP%\\x\0"s);
  EXPECT_EQ(ReadText(), "%TEMP%\\x");
  Put(host::kRegExpandSz, "%TEMP%" + std::string(300, 'x') + '\0');
  EXPECT_EQ(ReadText(), "%TEMP%" + std::string(300, 'x'));
  Put(host::kRegExpandSz, " 12 \0"s);
  EXPECT_EQ(ReadInt(), 12);
}

TEST_F(RegValueTest, OtherTypesAreNotRead) {
  for (const std::uint32_t type : {host::kRegNone, host::kRegMultiSz, 11u}) {
    Put(type, "1\0\0\0"s);
    EXPECT_EQ(ReadInt(), 7) << type;
    EXPECT_EQ(ReadText(), "unchanged") << type;
  }
}

TEST_F(RegValueTest, WritesExactBytesForEachType) {
  const auto write = [&](std::uint32_t type, const RegVariant& value) {
    EXPECT_TRUE(SetRegValue(kHkcu, kVestranoKey, kTabShowValue, type, value));
    return Stored();
  };
  EXPECT_EQ(write(host::kRegDword, 1), (fake::StoredValue{host::kRegDword, "\x01\0\0\0"s}));
  EXPECT_EQ(write(host::kRegDword, -2), (fake::StoredValue{host::kRegDword, "\xFE\xFF\xFF\xFF"s}));
  EXPECT_EQ(write(host::kRegBinary, " &H10 "),
            (fake::StoredValue{host::kRegBinary, "\x10\0\0\0"s}));
  EXPECT_EQ(write(host::kRegSz, 5), (fake::StoredValue{host::kRegSz, "5\0"s}));
  EXPECT_EQ(write(host::kRegExpandSz, "中文"), (fake::StoredValue{host::kRegExpandSz, "中文\0"s}));
  EXPECT_EQ(Stored()->bytes.size(), 7u);

  // A text that is no number writes nothing rather than zero.
  EXPECT_EQ(write(host::kRegDword, "two")->type, host::kRegExpandSz);

  ASSERT_TRUE(registry_.Delete(kHkcu, kVestranoKey));
  for (const std::uint32_t type : {0u, 5u, 7u}) {
    EXPECT_FALSE(write(type, 1)) << type;
  }
  EXPECT_EQ(calls_.CountOf("Registry.SetValue"), 5u);
}

TEST_F(RegValueTest, FailuresLeaveEverythingAndCloseTheKey) {
  Put(host::kRegDword, "\x01\0\0\0"s);
  calls_.FailCall("Registry.QueryValue", 1);
  EXPECT_EQ(ReadInt(), 7);
  Put(host::kRegSz, "2\0"s);
  calls_.FailCall("Registry.OpenKey", 1);
  EXPECT_EQ(ReadInt(), 7);
  EXPECT_EQ(calls_.Log().back(), "Registry.OpenKey");

  calls_.FailCall("Registry.SetValue", 1);
  SetRegValue(kHkcu, kVestranoKey, kTabShowValue, host::kRegDword, 1);
  EXPECT_EQ(Stored()->type, host::kRegSz);
  calls_.FailCall("Registry.CreateKey", 1);
  SetRegValue(kHkcu, "Software\\Other", "V", host::kRegDword, 1);
  EXPECT_FALSE(registry_.KeyExists(kHkcu, "Software\\Other"));
  EXPECT_EQ(calls_.Log().back(), "Registry.CreateKey");

  host::CurrentPlatform().registry = nullptr;
  EXPECT_EQ(ReadInt(), 7);
  EXPECT_TRUE(SetRegValue(kHkcu, kVestranoKey, kTabShowValue, host::kRegDword, 1));
}

TEST(TextToLong, ConvertsAsClngDoes) {
  struct Case {
    const char* text;
    std::optional<std::int32_t> expected;
  };
  const Case cases[] = {
      {"0", 0},
      {"  42\t", 42},
      {"+7", 7},
      {"-7", -7},
      {"007", 7},
      {"2147483647", 2147483647},
      {"2147483648", std::nullopt},
      {"-2147483648", INT32_MIN},
      {"-2147483649", std::nullopt},
      {"99999999999", std::nullopt},
      {"0.5", 0},
      {"1.5", 2},
      {"2.5", 2},
      {"2.50001", 3},
      {"-2.5", -2},
      {"-3.5", -4},
      {"2.4999", 2},
      {".5", 0},
      {"0.6", 1},
      {"5.", 5},
      {"2147483647.4", 2147483647},
      {"2147483647.5", std::nullopt},
      {"-2147483648.5", INT32_MIN},
      {"1e3", 1000},
      {"1.5E+1", 15},
      {"25e-1", 2},
      {"35e-1", 4},
      {"1e10", std::nullopt},
      {"0e999999999999", 0},
      {"1e-999999999999", 0},
      {"1e999999999999", std::nullopt},
      {"&H10", 16},
      {"&hff", 255},
      {" &HFFFFFFFF ", -1},
      {"&H80000000", INT32_MIN},
      {"&H100000000", std::nullopt},
      {"&O17", 15},
      {"&o37777777777", -1},
      {"&O8", std::nullopt},
      {"&H", std::nullopt},
      {"&X1", std::nullopt},
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"-", std::nullopt},
      {".", std::nullopt},
      {"1 2", std::nullopt},
      {"1.2.3", std::nullopt},
      {"1e", std::nullopt},
      {"e5", std::nullopt},
      {"- 5", std::nullopt},
      {"12abc", std::nullopt},
      {"True", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(TextToLong(c.text), c.expected) << '"' << c.text << '"';
  EXPECT_EQ(TextToLong("0." + std::string(100000, '0') + "1"), 0);
  EXPECT_EQ(TextToLong(std::string(100000, '0') + "12"), 12);
}

}  // namespace
}  // namespace vestrano
