// The registry as a scenario sees it: values under HKEY_CURRENT_USER read and written in the
// scenario language's terms, and a sandbox that gives every run the clean slate vestrano-sim's
// empty registry gives it (the add-in's settings, Explorer's extensions setting and Office's
// colour scheme unset) and puts back, when the run ends, every key the run touched as it was.
#pragma once

#include "host/win32/windows_api.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scenario/observation_lines.h"

namespace vestrano::xlsim::win32 {

std::optional<scenario::RegValue> ReadRegistryValue(std::string_view path, std::string_view name);
bool WriteRegistryValue(std::string_view path, std::string_view name,
                        const scenario::RegValue& value);
// False when there was nothing to delete.
bool DeleteRegistryValue(std::string_view path, std::string_view name);
bool DeleteRegistryKey(std::string_view path);

class RegistrySandbox {
 public:
  // Keeps the keys a run starts without, then clears them.
  RegistrySandbox();
  // Puts back every kept key, the last kept first.
  ~RegistrySandbox();
  RegistrySandbox(const RegistrySandbox&) = delete;
  RegistrySandbox& operator=(const RegistrySandbox&) = delete;

  // Keeps the key at `path` as it is now, unless it is kept already; call before changing it.
  void Keep(std::string_view path);

 private:
  struct Snapshot;
  std::vector<std::unique_ptr<Snapshot>> kept_;
};

}  // namespace vestrano::xlsim::win32
