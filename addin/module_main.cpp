// The start-up installation of the tab strip module. A module on disk is judged by its own bytes
// (machine and version), never by its name alone: a user of both bitnesses of Office, or an old
// add-in's copy, leaves modules there that this process cannot or should not load. The write is
// synchronous, so the written file is read back at once instead of waited for; regsvr32 is
// waited for, with a bound, so that its failure is seen and reported.
#include "addin/module_main.h"

#include <string>
#include <utility>
#include <vector>

#include "base/module_image.h"

namespace vestrano {
namespace {

std::string Join(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.empty() && path.back() != '\\') path += '\\';
  return path + std::string(name);
}

std::string Quoted(std::string_view path) {
  std::string quoted(1, '"');
  quoted.append(path);
  quoted.push_back('"');
  return quoted;
}

enum class Fit {
  kFits,     // this DLL's machine, and not older than the carried module
  kOlder,    // this DLL's machine, but older: replaced where it can be
  kMissing,  // no such file
  kUnfit,    // another machine, no version record, or no module at all
};

Fit Judge(host::IFiles& files, const std::string& path, const ModuleFacts& carried) {
  const auto bytes = files.ReadFile(path, kModuleFileLimit);
  if (!bytes) return Fit::kMissing;
  const auto facts = ReadModuleFacts(*bytes);
  if (!facts || facts->machine != carried.machine || !facts->version) return Fit::kUnfit;
  return *facts->version < *carried.version ? Fit::kOlder : Fit::kFits;
}

// The file that the class registration this process sees names. The user's registration hides
// the machine's, as it does in COM's merged view; an elevated process sees the machine's only.
std::optional<std::string> RegisteredServer(host::IComClasses& classes, bool elevated) {
  if (!elevated) {
    auto user = classes.TabStripServer(host::ClassHive::kUser);
    if (user && !user->empty()) return user;
  }
  auto machine = classes.TabStripServer(host::ClassHive::kMachine);
  if (machine && !machine->empty()) return machine;
  return std::nullopt;
}

// A place the module may come from, and the folders to make, in order, before writing there.
struct Place {
  std::string module;
  std::vector<std::string> folders;
};

std::vector<Place> Places(host::IFiles& files, const std::string& system,
                          const ModuleFacts& carried, bool elevated) {
  std::vector<Place> places{{Join(system, kModuleFile), {}}};
  // Any program the user runs could replace a file in the user's folder: an elevated process
  // would then run its code with administrator rights.
  if (elevated) return places;
  const auto local = files.LocalAppDataFolder();
  if (!local || local->empty()) return places;
  const std::string vestrano = Join(*local, kUserModuleFolder);
  const std::string own =
      Join(vestrano, carried.machine == kMachineAmd64 ? kUserModuleFolder64 : kUserModuleFolder32);
  places.push_back({Join(own, kModuleFile), {vestrano, own}});
  return places;
}

bool Write(host::IFiles& files, const Place& place, std::span<const std::uint8_t> bytes) {
  for (const std::string& folder : place.folders) {
    if (!files.CreateFolder(folder)) return false;
  }
  return files.WriteFile(place.module, bytes);
}

StartupOutcome Outcome(StartupResult result, std::optional<std::string> module = std::nullopt) {
  StartupOutcome outcome;
  outcome.result = result;
  outcome.module = std::move(module);
  return outcome;
}

StartupOutcome Register(StartupHost& host, const std::string& system, const std::string& module,
                        bool wrote) {
  StartupOutcome outcome = Outcome(StartupResult::kRegistered, module);
  outcome.wrote = wrote;
  // The system's own regsvr32 by its full path: a bare name would also be looked for in Excel's
  // current folder, where any file of that name would run. Its working folder is the system
  // directory too, not Excel's, which is often a workbook's network share.
  const std::string command = Quoted(Join(system, "regsvr32.exe")) + " " + Quoted(module) + " /s";
  const host::ProcessRun run = host.processes.RunToExit(command, system, kRegistrationWaitMs);
  switch (run.outcome) {
    case host::ProcessRun::Outcome::kNotStarted:
      outcome.result = StartupResult::kRegistrationNotStarted;
      break;
    case host::ProcessRun::Outcome::kTimedOut:
      outcome.result = StartupResult::kRegistrationTimedOut;
      break;
    case host::ProcessRun::Outcome::kExited:
      outcome.result =
          run.exit_code == 0 ? StartupResult::kRegistered : StartupResult::kRegistrationFailed;
      outcome.exit_code = run.exit_code;
      break;
  }
  return outcome;
}

}  // namespace

StartupOutcome InstallTabStripModule(StartupHost& host) {
  const auto system = host.files.SystemDirectory();
  if (!system || system->empty()) return Outcome(StartupResult::kNoSystemFolder);
  const auto carried_bytes =
      host.resources.LoadResource(kModuleResourceType, kModuleResourceId, kModuleResourceLanguage);
  const auto carried = carried_bytes ? ReadModuleFacts(*carried_bytes) : std::nullopt;
  if (!carried || !carried->version) return Outcome(StartupResult::kNoCarriedModule);
  const bool elevated = host.classes.ProcessIsElevated().value_or(false);

  const auto registered = RegisteredServer(host.classes, elevated);
  if (registered && Judge(host.files, *registered, *carried) == Fit::kFits) {
    return Outcome(StartupResult::kPresent, registered);
  }
  std::optional<std::string> older;
  for (const Place& place : Places(host.files, *system, *carried, elevated)) {
    const Fit found = Judge(host.files, place.module, *carried);
    if (found == Fit::kFits) return Register(host, *system, place.module, false);
    if (found == Fit::kOlder && !older) older = place.module;
    // Read back: a file that a scanner took away, or that another process changed at once, is
    // no module to register.
    if (Write(host.files, place, *carried_bytes) &&
        Judge(host.files, place.module, *carried) == Fit::kFits) {
      return Register(host, *system, place.module, true);
    }
  }
  // An older module that could not be replaced (a running Excel holds it) still works: its
  // interfaces never change, they are only added to.
  if (older) return Outcome(StartupResult::kOlderKept, older);
  return Outcome(StartupResult::kNoModule);
}

std::optional<std::string> StartupFailureText(const StartupOutcome& outcome) {
  const std::string module = outcome.module.value_or(std::string(kModuleFile));
  switch (outcome.result) {
    case StartupResult::kPresent:
    case StartupResult::kRegistered:
      return std::nullopt;
    case StartupResult::kRegistrationFailed:
      return "regsvr32 could not register " + module + ": exit code " +
             std::to_string(outcome.exit_code) + "; it is loaded from its file";
    case StartupResult::kRegistrationTimedOut:
      return "regsvr32 did not finish registering " + module + " in " +
             std::to_string(kRegistrationWaitMs / 1000) + " s; it is loaded from its file";
    case StartupResult::kRegistrationNotStarted:
      return "regsvr32 could not be started for " + module + "; it is loaded from its file";
    case StartupResult::kOlderKept:
      return "the older " + module + " could not be replaced; it is used as it is";
    case StartupResult::kNoModule:
      return "no Zandrelix.ocx fits this Excel, and no folder it may use took the carried one: "
             "no tab bar";
    case StartupResult::kNoCarriedModule:
      return "the add-in carries no Zandrelix.ocx that it can read";
    case StartupResult::kNoSystemFolder:
      return "the system directory is unknown";
  }
  return std::nullopt;
}

}  // namespace vestrano
