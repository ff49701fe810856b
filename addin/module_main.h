// The start-up routine of `Module_Main`: before the add-in is first created in a process, it
// writes the tab strip module that the add-in carries as a resource to the Windows system
// directory as "Zandrelix.ocx" and has regsvr32 register it, unless the module is there already.
// A standard user may not write the system directory (any Windows since Vista): the module then
// goes to the user's own folder instead and is registered from there, for that user.
#pragma once

#include <cstdint>
#include <string_view>

#include "host/files.h"
#include "host/processes.h"
#include "host/timers.h"

namespace vestrano {

inline constexpr std::string_view kModuleFile = "Zandrelix.ocx";
// The user's folder under %LOCALAPPDATA%.
inline constexpr std::string_view kUserModuleFolder = "Vestrano";
// Resource "OFFICE" 101, Chinese (Simplified), as the module is carried.
inline constexpr std::string_view kModuleResourceType = "OFFICE";
inline constexpr int kModuleResourceId = 101;
inline constexpr int kModuleResourceLanguage = 2052;
// How long the routine waits for the written file to show, and how often it looks.
inline constexpr std::uint32_t kWrittenFileWaitMs = 3000;
inline constexpr std::uint32_t kWrittenFileLookMs = 50;

// What the routine works with; on Windows the adapters, in the tests the fakes. It runs before
// any add-in object exists, so it does not use the platform that a connection installs.
struct StartupHost {
  host::IFiles& files;
  host::IResources& resources;
  host::IProcesses& processes;
  host::IClock& clock;
};

enum class StartupResult {
  kPresent,         // the module was there already, in one place or the other
  kRegistering,     // written, and regsvr32 started
  kNotWritten,      // neither folder took the file, or the add-in carries none
  kNeverAppeared,   // written, but the file never showed up: not registered
  kNotStarted,      // written, but regsvr32 could not be started
  kNoSystemFolder,  // the system directory is unknown
};

// Runs the routine once; the caller sees to "once per process".
StartupResult InstallTabStripModule(StartupHost& host);

}  // namespace vestrano
