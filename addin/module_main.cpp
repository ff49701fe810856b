// The start-up installation of the tab strip module. A module already in either place counts as
// present, whatever its version. The wait for the written file is bounded, and pumps Excel's
// messages, so that a file that never shows up can neither hang Excel nor be registered.
#include "addin/module_main.h"

#include <optional>
#include <string>

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

bool WaitForFile(StartupHost& host, std::string_view path) {
  const std::uint32_t start = host.clock.GetTickCount();
  while (!host.files.FileExists(path)) {
    // Unsigned difference: right across the tick count's wrap.
    if (host.clock.GetTickCount() - start >= kWrittenFileWaitMs) return false;
    host.clock.PumpMessages(kWrittenFileLookMs);
  }
  return true;
}

}  // namespace

StartupResult InstallTabStripModule(StartupHost& host) {
  const auto system = host.files.SystemDirectory();
  if (!system || system->empty()) return StartupResult::kNoSystemFolder;
  const std::string system_module = Join(*system, kModuleFile);
  const auto local = host.files.LocalAppDataFolder();
  const std::optional<std::string> user_folder =
      local && !local->empty() ? std::optional(Join(*local, kUserModuleFolder)) : std::nullopt;
  const std::optional<std::string> user_module =
      user_folder ? std::optional(Join(*user_folder, kModuleFile)) : std::nullopt;

  if (host.files.FileExists(system_module)) return StartupResult::kPresent;
  if (user_module && host.files.FileExists(*user_module)) return StartupResult::kPresent;

  const auto bytes =
      host.resources.LoadResource(kModuleResourceType, kModuleResourceId, kModuleResourceLanguage);
  if (!bytes || bytes->empty()) return StartupResult::kNotWritten;
  std::optional<std::string> written;
  if (host.files.WriteFile(system_module, *bytes)) {
    written = system_module;
  } else if (user_module && host.files.CreateFolder(*user_folder) &&
             host.files.WriteFile(*user_module, *bytes)) {
    written = user_module;
  }
  if (!written) return StartupResult::kNotWritten;
  if (!WaitForFile(host, *written)) return StartupResult::kNeverAppeared;
  // The system's own regsvr32 by its full path: a bare name would also be looked for in Excel's
  // current folder, where any file of that name would run. Paths are quoted for their blanks.
  const std::string command =
      Quoted(Join(*system, "regsvr32.exe")) + " " + Quoted(*written) + " /s";
  return host.processes.StartProcess(command) ? StartupResult::kRegistering
                                              : StartupResult::kNotStarted;
}

}  // namespace vestrano
