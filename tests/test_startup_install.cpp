// The start-up installation of the tab strip module on the fakes, as a 64-bit DLL: which module
// counts as present (registered, this machine, not older), what is written where when none does,
// that an elevated process never takes a module from the user's folder, what is done with an
// older module in the system directory, and regsvr32's working folder, bounded wait and failures.
// Also the growing buffer for long paths.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "addin/module_main.h"
#include "base/sized_text.h"
#include "host/fake/fake_com_classes.h"
#include "host/fake/fake_files.h"
#include "host/fake/fake_processes.h"
#include "tests/module_bytes.h"

namespace vestrano {
namespace {

using host::ClassHive;

constexpr const char* kSystem = "C:\\Windows\\system32";
constexpr const char* kSystemModule = "C:\\Windows\\system32\\Zandrelix.ocx";
constexpr const char* kUserModule = "C:\\Users\\Mei\\AppData\\Local\\Vestrano\\x64\\Zandrelix.ocx";
constexpr const char* kOtherBitnessModule =
    "C:\\Users\\Mei\\AppData\\Local\\Vestrano\\x86\\Zandrelix.ocx";
constexpr const char* kSharedModule = "C:\\Users\\Mei\\AppData\\Local\\Vestrano\\Zandrelix.ocx";
constexpr const char* kInstalledModule = "C:\\Program Files\\Vestrano\\x64\\Zandrelix.ocx";

constexpr FileVersion kCarried{3, 1, 0, 0};

std::vector<std::uint8_t> Module(FileVersion version, std::uint16_t machine = kMachineAmd64) {
  return testing::ModuleBytes(machine, version);
}

std::string RegisterCommand(const std::string& module) {
  return "\"C:\\Windows\\system32\\regsvr32.exe\" \"" + module + "\" /s";
}

struct Machine {
  Machine() { resources.Put("OFFICE", 101, 2052, carried); }
  StartupOutcome Run() {
    StartupHost host{files, resources, processes, classes};
    return InstallTabStripModule(host);
  }
  // The command lines of the regsvr32 runs, all of which ran in the system directory.
  std::vector<std::string> Registered() const {
    std::vector<std::string> commands;
    for (const auto& run : processes.Runs()) {
      EXPECT_EQ(run.working_folder, kSystem);
      EXPECT_EQ(run.timeout_ms, kRegistrationWaitMs);
      commands.push_back(run.command_line);
    }
    return commands;
  }
  // Windows since Vista, for a standard user.
  void ProtectSystemDirectory() { files.RefuseWritesIn(kSystem); }

  fake::HostCalls calls;
  fake::FakeFiles files{calls};
  fake::FakeResources resources{calls};
  fake::FakeProcesses processes{calls};
  fake::FakeComClasses classes{calls};
  std::vector<std::uint8_t> carried = Module(kCarried);
};

TEST(StartupInstall, ARegisteredModuleOfThisMachineAndNoOlderIsUsedAsItIs) {
  // An installer's module, the same version or a newer one, found through its registration.
  for (const FileVersion version : {kCarried, FileVersion{3, 2, 0, 0}}) {
    Machine machine;
    machine.files.PutFile(kInstalledModule, Module(version));
    machine.classes.Register(ClassHive::kUser, kInstalledModule);
    const StartupOutcome outcome = machine.Run();
    EXPECT_EQ(outcome.result, StartupResult::kPresent);
    EXPECT_EQ(outcome.module, kInstalledModule);
    EXPECT_EQ(machine.calls.CountOf("Files.WriteFile"), 0u);
    EXPECT_TRUE(machine.Registered().empty());
    EXPECT_FALSE(StartupFailureText(outcome));
  }
  // The user's registration hides the machine's, as in COM's merged view.
  Machine both;
  both.files.PutFile(kSystemModule, Module(kCarried));
  both.files.PutFile(kInstalledModule, Module(kCarried));
  both.classes.Register(ClassHive::kUser, kInstalledModule);
  both.classes.Register(ClassHive::kMachine, kSystemModule);
  EXPECT_EQ(both.Run().module, kInstalledModule);
}

TEST(StartupInstall, TheUsersFolderOfThisBitnessTakesTheModuleWhenTheSystemDirectoryRefusesIt) {
  Machine fresh;
  fresh.ProtectSystemDirectory();
  fresh.files.PutFile(kSharedModule, {1, 2, 3});  // the old shared folder's, never looked at
  const StartupOutcome outcome = fresh.Run();
  EXPECT_EQ(outcome.result, StartupResult::kRegistered);
  EXPECT_TRUE(outcome.wrote);
  EXPECT_EQ(outcome.module, kUserModule);
  EXPECT_EQ(fresh.files.File(kUserModule), fresh.carried);
  EXPECT_EQ(fresh.files.File(kSharedModule), (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_EQ(fresh.Registered(), std::vector<std::string>{RegisterCommand(kUserModule)});

  // What is there already, unregistered: kept when it fits, replaced when older or of the other
  // machine (a 32-bit Office's module where the 64-bit DLL looks), and registered either way.
  struct Case {
    std::vector<std::uint8_t> there;
    bool replaced;
  };
  for (const auto& [there, replaced] :
       {Case{Module(kCarried), false}, Case{Module({3, 2, 0, 0}), false},
        Case{Module({3, 0, 9, 9}), true}, Case{Module(kCarried, kMachineI386), true},
        Case{{'M', 'Z', 0}, true}}) {
    Machine machine;
    machine.ProtectSystemDirectory();
    machine.files.PutFile(kUserModule, there);
    const StartupOutcome outcome = machine.Run();
    EXPECT_EQ(outcome.result, StartupResult::kRegistered);
    EXPECT_EQ(outcome.wrote, replaced);
    EXPECT_EQ(machine.files.File(kUserModule), replaced ? machine.carried : there);
    EXPECT_EQ(machine.Registered(), std::vector<std::string>{RegisterCommand(kUserModule)});
  }

  // Registered too: nothing to do. The other bitness's registration (Wine keeps one view of the
  // user's classes for both) does not count.
  Machine registered;
  registered.ProtectSystemDirectory();
  registered.files.PutFile(kUserModule, Module(kCarried));
  registered.files.PutFile(kOtherBitnessModule, Module(kCarried, kMachineI386));
  registered.classes.Register(ClassHive::kUser, kOtherBitnessModule);
  EXPECT_EQ(registered.Run().result, StartupResult::kRegistered);
  registered.classes.Register(ClassHive::kUser, kUserModule);
  EXPECT_EQ(registered.Run().result, StartupResult::kPresent);
  EXPECT_EQ(registered.Registered().size(), 1u);
  EXPECT_EQ(registered.files.File(kOtherBitnessModule), Module(kCarried, kMachineI386));
}

TEST(StartupInstall, AnElevatedProcessTakesNothingFromTheUsersFolder) {
  Machine machine;
  machine.classes.SetElevated(true);
  machine.files.PutFile(kUserModule, Module(kCarried));
  machine.classes.Register(ClassHive::kUser, kUserModule);
  const StartupOutcome outcome = machine.Run();
  EXPECT_EQ(outcome.result, StartupResult::kRegistered);
  EXPECT_EQ(outcome.module, kSystemModule);
  EXPECT_EQ(machine.files.File(kSystemModule), machine.carried);
  EXPECT_EQ(machine.Registered(), std::vector<std::string>{RegisterCommand(kSystemModule)});
  // Registered machine-wide by that regsvr32, it is present for the next elevated start.
  machine.classes.Register(ClassHive::kMachine, kSystemModule);
  EXPECT_EQ(machine.Run().result, StartupResult::kPresent);

  // A system directory that refuses the file leaves no module: not the user's copy either.
  Machine refused;
  refused.classes.SetElevated(true);
  refused.ProtectSystemDirectory();
  refused.files.PutFile(kUserModule, Module(kCarried));
  refused.classes.Register(ClassHive::kUser, kUserModule);
  const StartupOutcome none = refused.Run();
  EXPECT_EQ(none.result, StartupResult::kNoModule);
  EXPECT_FALSE(none.module);
  EXPECT_TRUE(refused.Registered().empty());
  EXPECT_EQ(refused.calls.CountOf("Files.CreateFolder"), 0u);
  EXPECT_NE(StartupFailureText(none).value_or("").find("no tab bar"), std::string::npos);

  // Windows XP cannot say, and has no elevation: the user's copy is used there.
  Machine xp;
  xp.classes.SetElevated(std::nullopt);
  xp.ProtectSystemDirectory();
  xp.files.PutFile(kUserModule, Module(kCarried));
  xp.classes.Register(ClassHive::kUser, kUserModule);
  EXPECT_EQ(xp.Run().module, kUserModule);
}

TEST(StartupInstall, AnOlderModuleInTheSystemDirectory) {
  // Replaced where the process may write there.
  Machine elevated;
  elevated.classes.SetElevated(true);
  elevated.files.PutFile(kSystemModule, Module({3, 0, 0, 0}));
  elevated.classes.Register(ClassHive::kMachine, kSystemModule);
  EXPECT_EQ(elevated.Run().result, StartupResult::kRegistered);
  EXPECT_EQ(elevated.files.File(kSystemModule), elevated.carried);

  // Left alone, and outdone by the user's own copy, where it may not.
  Machine standard;
  standard.ProtectSystemDirectory();
  standard.files.PutFile(kSystemModule, Module({3, 0, 0, 0}));
  standard.classes.Register(ClassHive::kMachine, kSystemModule);
  const StartupOutcome outcome = standard.Run();
  EXPECT_EQ(outcome.module, kUserModule);
  EXPECT_EQ(standard.files.File(kSystemModule), Module({3, 0, 0, 0}));
  EXPECT_EQ(standard.files.File(kUserModule), standard.carried);

  // Elevated, and held by another Excel: used as it is, and said so.
  Machine held;
  held.classes.SetElevated(true);
  held.ProtectSystemDirectory();
  held.files.PutFile(kSystemModule, Module({3, 0, 0, 0}));
  const StartupOutcome kept = held.Run();
  EXPECT_EQ(kept.result, StartupResult::kOlderKept);
  EXPECT_EQ(kept.module, kSystemModule);
  EXPECT_TRUE(held.Registered().empty());
  EXPECT_TRUE(StartupFailureText(kept));
}

TEST(StartupInstall, RegistrationFailuresAreReportedAndTriedAgainAtTheNextStart) {
  Machine machine;
  machine.processes.SetRunOutcome({host::ProcessRun::Outcome::kExited, 5});
  const StartupOutcome failed = machine.Run();
  EXPECT_EQ(failed.result, StartupResult::kRegistrationFailed);
  EXPECT_EQ(failed.module, kSystemModule);  // the tab bar loads it from its file all the same
  EXPECT_NE(StartupFailureText(failed).value_or("").find("exit code 5"), std::string::npos);

  // The next start writes nothing, and registers again.
  machine.processes.SetRunOutcome({host::ProcessRun::Outcome::kExited, 0});
  const StartupOutcome again = machine.Run();
  EXPECT_EQ(again.result, StartupResult::kRegistered);
  EXPECT_FALSE(again.wrote);
  EXPECT_EQ(machine.calls.CountOf("Files.WriteFile"), 1u);
  EXPECT_EQ(machine.Registered().size(), 2u);

  Machine hung;
  hung.processes.SetRunOutcome({host::ProcessRun::Outcome::kTimedOut, 0});
  EXPECT_EQ(hung.Run().result, StartupResult::kRegistrationTimedOut);
  Machine no_process;
  no_process.calls.FailCall("Processes.RunToExit");
  const StartupOutcome not_started = no_process.Run();
  EXPECT_EQ(not_started.result, StartupResult::kRegistrationNotStarted);
  EXPECT_EQ(not_started.module, kSystemModule);
}

TEST(StartupInstall, NothingIsRegisteredThatWasNotWrittenWhole) {
  // Written, then gone at once (a virus scanner): the next folder is tried, and then none is left.
  Machine vanished;
  vanished.files.VanishOnWrite(kSystemModule);
  EXPECT_EQ(vanished.Run().module, kUserModule);
  Machine gone;
  gone.files.VanishOnWrite(kSystemModule);
  gone.files.VanishOnWrite(kUserModule);
  EXPECT_EQ(gone.Run().result, StartupResult::kNoModule);
  EXPECT_TRUE(gone.Registered().empty());

  Machine no_user_folder;
  no_user_folder.ProtectSystemDirectory();
  no_user_folder.files.SetLocalAppDataFolder(std::nullopt);
  EXPECT_EQ(no_user_folder.Run().result, StartupResult::kNoModule);

  for (const bool garbage : {false, true}) {
    Machine no_resource;
    if (garbage) {
      no_resource.resources.Put("OFFICE", 101, 2052, {'M', 'Z'});
    } else {
      no_resource.calls.FailCall("Resources.LoadResource");
    }
    EXPECT_EQ(no_resource.Run().result, StartupResult::kNoCarriedModule);
    EXPECT_EQ(no_resource.files.FileCount(), 0u);
    EXPECT_TRUE(no_resource.Registered().empty());
  }
}

TEST(StartupInstall, ALongSystemDirectoryIsUsedWhole) {
  Machine machine;
  const std::string folder = "D:\\" + std::string(150, 'w') + "\\System32";
  machine.files.SetSystemDirectory(folder);
  EXPECT_EQ(machine.Run().result, StartupResult::kRegistered);
  EXPECT_EQ(machine.files.File(folder + "\\Zandrelix.ocx"), machine.carried);
  ASSERT_EQ(machine.processes.Runs().size(), 1u);
  EXPECT_EQ(machine.processes.Runs()[0].command_line,
            "\"" + folder + "\\regsvr32.exe\" \"" + folder + "\\Zandrelix.ocx\" /s");
  EXPECT_EQ(machine.processes.Runs()[0].working_folder, folder);
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
