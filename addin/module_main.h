// The start-up routine of `Module_Main`: before the add-in is first created in a process, it
// finds the tab strip module "Zandrelix.ocx" that this process may use, installs the one the
// add-in carries as a resource where none fits, and has regsvr32 register it. The tab bar then
// loads exactly the module chosen here.
//
// A module fits when it was built for this DLL's machine and is not older than the carried one.
// It is looked for first in the file that the class registration names, then in the system
// directory, then in the user's own folder of this bitness. An elevated process ignores per-user
// classes, and must never run code from a folder that the user can write unelevated: it takes
// the module only from the machine's registration or the system directory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "host/com_classes.h"
#include "host/files.h"
#include "host/processes.h"

namespace vestrano {

inline constexpr std::string_view kModuleFile = "Zandrelix.ocx";
// The user's folders under %LOCALAPPDATA%, one per bitness, since a module of the other bitness
// can neither be loaded nor registered for this one.
inline constexpr std::string_view kUserModuleFolder = "Vestrano";
inline constexpr std::string_view kUserModuleFolder32 = "x86";
inline constexpr std::string_view kUserModuleFolder64 = "x64";
// Resource "OFFICE" 101, Chinese (Simplified), as the module is carried.
inline constexpr std::string_view kModuleResourceType = "OFFICE";
inline constexpr int kModuleResourceId = 101;
inline constexpr int kModuleResourceLanguage = 2052;
// Larger files are not taken for the module at all.
inline constexpr std::size_t kModuleFileLimit = 64u << 20;
// How long Excel's start may wait for regsvr32: it takes well under a second, more under a
// virus scanner or Wine on a busy machine.
inline constexpr std::uint32_t kRegistrationWaitMs = 30000;

// What the routine works with; on Windows the adapters, in the tests the fakes. It runs before
// any add-in object exists, so it does not use the platform that a connection installs.
struct StartupHost {
  host::IFiles& files;
  host::IResources& resources;
  host::IProcesses& processes;
  host::IComClasses& classes;
};

enum class StartupResult {
  kPresent,               // a fitting module was there and registered: nothing done
  kRegistered,            // written or found, and regsvr32 registered it
  kRegistrationFailed,    // regsvr32 exited with an error; the module is still used from its file
  kRegistrationTimedOut,  // regsvr32 did not exit in time; the module is still used from its file
  kRegistrationNotStarted,
  kOlderKept,        // an older module that could not be replaced, used as it is
  kNoModule,         // none fitted, and no allowed folder took the carried one: no tab bar
  kNoCarriedModule,  // the add-in carries no module, or none it can read
  kNoSystemFolder,   // the system directory is unknown
};

struct StartupOutcome {
  StartupResult result = StartupResult::kNoModule;
  std::optional<std::string> module;  // the file the tab bar is to load
  bool wrote = false;                 // the carried module was written to `module`
  std::uint32_t exit_code = 0;        // regsvr32's, when it failed
};

// Runs the routine once; the caller sees to "once per process".
StartupOutcome InstallTabStripModule(StartupHost& host);

// The failure to report for an outcome, with regsvr32's exit code; empty when there is none.
std::optional<std::string> StartupFailureText(const StartupOutcome& outcome);

}  // namespace vestrano
