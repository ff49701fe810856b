// The start-up installation of the tab strip module on the fakes: a module already present (in
// the system directory or the user's folder) means nothing written and nothing started; a
// missing one is written byte for byte and registered once, from the system directory or, where
// that refuses writes, from the user's folder; a file that never shows up, or two folders that
// refuse it, start nothing and cost a bounded wait. Also the growing buffer for long paths.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "addin/module_main.h"
#include "base/sized_text.h"
#include "host/fake/fake_clock.h"
#include "host/fake/fake_files.h"
#include "host/fake/fake_processes.h"

namespace vestrano {
namespace {

constexpr const char* kSystemModule = "C:\\Windows\\system32\\Zandrelix.ocx";
constexpr const char* kUserModule = "C:\\Users\\Mei\\AppData\\Local\\Vestrano\\Zandrelix.ocx";
constexpr const char* kSystemCommand =
    "\"C:\\Windows\\system32\\regsvr32.exe\" \"C:\\Windows\\system32\\Zandrelix.ocx\" /s";
constexpr const char* kUserCommand =
    "\"C:\\Windows\\system32\\regsvr32.exe\" "
    "\"C:\\Users\\Mei\\AppData\\Local\\Vestrano\\Zandrelix.ocx\" /s";

struct Machine {
  Machine() {
    // Odd bytes and a NUL inside: the module is written as bytes, never as text.
    for (int i = 0; i < 5000; ++i) module.push_back(static_cast<std::uint8_t>((i * 7) % 256));
    resources.Put("OFFICE", 101, 2052, module);
  }
  StartupResult Run() {
    StartupHost host{files, resources, processes, clock};
    return InstallTabStripModule(host);
  }
  const std::vector<std::string>& Started() const { return processes.Started(); }

  fake::HostCalls calls;
  fake::FakeFiles files{calls};
  fake::FakeResources resources{calls};
  fake::FakeProcesses processes{calls};
  fake::FakeClock clock{calls};
  std::vector<std::uint8_t> module;
};

TEST(StartupInstall, AModuleInEitherPlaceIsLeftAlone) {
  for (const char* present : {kSystemModule, kUserModule}) {
    Machine machine;
    machine.files.PutFile(present, {1, 2, 3});
    EXPECT_EQ(machine.Run(), StartupResult::kPresent) << present;
    EXPECT_EQ(machine.calls.CountOf("Files.WriteFile"), 0u);
    EXPECT_EQ(machine.calls.CountOf("Resources.LoadResource"), 0u);
    EXPECT_TRUE(machine.Started().empty());
    // Whatever its version: no comparison is made.
    EXPECT_EQ(machine.files.File(present), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(machine.files.FileCount(), 1u);
  }
}

TEST(StartupInstall, AMissingModuleIsWrittenWholeAndRegisteredOnce) {
  Machine machine;
  EXPECT_EQ(machine.Run(), StartupResult::kRegistering);
  EXPECT_EQ(machine.files.File(kSystemModule), machine.module);
  EXPECT_FALSE(machine.files.File(kUserModule));
  EXPECT_EQ(machine.Started(), std::vector<std::string>{kSystemCommand});
  // The file was there at once: no time went by waiting for it.
  EXPECT_EQ(machine.clock.Now(), 0u);

  // The next process finds it and does nothing.
  EXPECT_EQ(machine.Run(), StartupResult::kPresent);
  EXPECT_EQ(machine.Started().size(), 1u);
}

TEST(StartupInstall, AnUnwritableSystemDirectoryGivesTheUserFolder) {
  Machine machine;
  machine.files.RefuseWritesIn("C:\\Windows\\system32");
  EXPECT_EQ(machine.Run(), StartupResult::kRegistering);
  EXPECT_FALSE(machine.files.File(kSystemModule));
  EXPECT_EQ(machine.files.File(kUserModule), machine.module);
  EXPECT_EQ(machine.Started(), std::vector<std::string>{kUserCommand});

  // Blanks in a user's name stay inside the quoted path.
  Machine spaced;
  spaced.files.RefuseWritesIn("C:\\Windows\\system32");
  spaced.files.SetLocalAppDataFolder("C:\\Users\\Mei Lin\\AppData\\Local\\");
  EXPECT_EQ(spaced.Run(), StartupResult::kRegistering);
  EXPECT_EQ(spaced.Started(),
            std::vector<std::string>{
                "\"C:\\Windows\\system32\\regsvr32.exe\" "
                "\"C:\\Users\\Mei Lin\\AppData\\Local\\Vestrano\\Zandrelix.ocx\" /s"});
}

TEST(StartupInstall, NothingStartsWhenTheFileCannotBeWrittenOrNeverAppears) {
  Machine refused;
  refused.files.RefuseWritesIn("C:\\Windows\\system32");
  refused.files.RefuseWritesIn("C:\\Users\\Mei\\AppData\\Local");
  EXPECT_EQ(refused.Run(), StartupResult::kNotWritten);
  EXPECT_TRUE(refused.Started().empty());
  EXPECT_EQ(refused.files.FileCount(), 0u);

  // Written, then gone at once (a virus scanner): the wait ends, a few seconds later, unregistered.
  Machine vanished;
  vanished.files.VanishOnWrite(kSystemModule);
  vanished.clock.SetTickBase(0xFFFFF000u);  // the tick count wraps during the wait
  EXPECT_EQ(vanished.Run(), StartupResult::kNeverAppeared);
  EXPECT_TRUE(vanished.Started().empty());
  EXPECT_GE(vanished.clock.Now(), kWrittenFileWaitMs);
  EXPECT_LE(vanished.clock.Now(), kWrittenFileWaitMs + kWrittenFileLookMs);

  Machine no_user_folder;
  no_user_folder.files.RefuseWritesIn("C:\\Windows\\system32");
  no_user_folder.files.SetLocalAppDataFolder(std::nullopt);
  EXPECT_EQ(no_user_folder.Run(), StartupResult::kNotWritten);
  EXPECT_TRUE(no_user_folder.Started().empty());

  Machine no_resource;
  no_resource.calls.FailCall("Resources.LoadResource");
  EXPECT_EQ(no_resource.Run(), StartupResult::kNotWritten);
  EXPECT_EQ(no_resource.files.FileCount(), 0u);

  Machine no_process;
  no_process.calls.FailCall("Processes.StartProcess");
  EXPECT_EQ(no_process.Run(), StartupResult::kNotStarted);
}

TEST(StartupInstall, ALongSystemDirectoryIsUsedWhole) {
  Machine machine;
  const std::string folder = "D:\\" + std::string(150, 'w') + "\\System32";
  machine.files.SetSystemDirectory(folder);
  EXPECT_EQ(machine.Run(), StartupResult::kRegistering);
  EXPECT_EQ(machine.files.File(folder + "\\Zandrelix.ocx"), machine.module);
  EXPECT_EQ(machine.Started(), std::vector<std::string>{"\"" + folder + "\\regsvr32.exe\" \"" +
                                                        folder + "\\Zandrelix.ocx\" /s"});
}

// GetSystemDirectory's contract: the length when it fits, the size needed (NUL included) when
// it does not; never a character past `capacity`.
std::size_t FakeGetSystemDirectory(const std::string& path, char* buffer, std::size_t capacity) {
  if (path.size() + 1 > capacity) return path.size() + 1;
  std::memcpy(buffer, path.c_str(), path.size() + 1);
  return path.size();
}

TEST(SizedText, GrowsPastTheFirstBufferWithoutCuttingOrOverrunning) {
  for (std::size_t length : {3u, 79u, 80u, 81u, 200u, 4000u}) {
    const std::string path(length, 'p');
    std::size_t calls = 0;
    const auto read = ReadSizedText<char>(
        [&](char* buffer, std::size_t capacity) {
          ++calls;
          return FakeGetSystemDirectory(path, buffer, capacity);
        },
        80);
    EXPECT_EQ(read, path) << length;
    EXPECT_EQ(calls, length < 80 ? 1u : 2u) << length;
  }
  EXPECT_FALSE(ReadSizedText<char>([](char*, std::size_t) { return std::size_t{0}; }, 80));
  // A call that always wants more gives up after a few rounds.
  std::size_t rounds = 0;
  EXPECT_FALSE(ReadSizedText<char>(
      [&](char*, std::size_t capacity) {
        ++rounds;
        return capacity + 1;
      },
      80));
  EXPECT_LE(rounds, 4u);
}

}  // namespace
}  // namespace vestrano
