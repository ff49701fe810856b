// The start-up installation with the Win32 adapters of its own: it runs before any connection,
// so before the platform that a connection installs exists. Only a flag is static.
#include "addin/win32/startup.h"

#include "addin/module_main.h"
#include "addin/win32/this_module.h"
#include "host/diagnostics.h"
#include "host/win32/win32_files.h"
#include "host/win32/win32_processes.h"
#include "host/win32/win32_timers.h"

namespace vestrano::win32 {
namespace {

constinit bool g_started = false;

const char* Describe(StartupResult result) {
  switch (result) {
    case StartupResult::kNotWritten:
      return "neither the system directory nor the user's folder took Zandrelix.ocx";
    case StartupResult::kNeverAppeared:
      return "Zandrelix.ocx was written but never appeared: not registered";
    case StartupResult::kNotStarted:
      return "regsvr32 could not be started for Zandrelix.ocx";
    case StartupResult::kNoSystemFolder:
      return "the system directory is unknown";
    default:
      return nullptr;
  }
}

}  // namespace

void RunStartupOnce() noexcept {
  if (g_started) return;
  g_started = true;
  try {
    Win32Files files;
    Win32Resources resources(ThisModule());
    Win32Processes processes;
    Win32Clock clock;
    StartupHost host{files, resources, processes, clock};
    if (const char* failure = Describe(InstallTabStripModule(host))) {
      host::ReportFailure("installing the tab strip module", failure);
    }
  } catch (...) {
    host::ReportCaughtException("installing the tab strip module");
  }
}

}  // namespace vestrano::win32
