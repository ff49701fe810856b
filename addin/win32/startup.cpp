// The start-up installation with the Win32 adapters of its own: it runs before any connection,
// so before the platform that a connection installs exists. Only its flag and its choice of
// module are static.
#include "addin/win32/startup.h"

#include "addin/module_main.h"
#include "addin/win32/this_module.h"
#include "host/diagnostics.h"
#include "host/win32/wide_text.h"
#include "host/win32/win32_com_classes.h"
#include "host/win32/win32_files.h"
#include "host/win32/win32_processes.h"
#include "tabctl/win32/zandrelix_api.h"

namespace vestrano::win32 {
namespace {

constinit bool g_started = false;

std::optional<std::wstring>& ChosenModule() {
  static std::optional<std::wstring> module;
  return module;
}

}  // namespace

void RunStartupOnce() noexcept {
  if (g_started) return;
  g_started = true;
  try {
    Win32Files files;
    Win32Resources resources(ThisModule());
    Win32Processes processes;
    Win32ComClasses classes(tabctl::kTabStripClsidText);
    StartupHost host{files, resources, processes, classes};
    const StartupOutcome outcome = InstallTabStripModule(host);
    if (outcome.module) ChosenModule() = Utf8ToWide(*outcome.module);
    if (const auto failure = StartupFailureText(outcome)) {
      host::ReportFailure("installing the tab strip module", *failure);
    }
  } catch (...) {
    host::ReportCaughtException("installing the tab strip module");
  }
}

std::optional<std::wstring> TabStripModuleFile() {
  return ChosenModule();
}

}  // namespace vestrano::win32
