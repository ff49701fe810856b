// Reads Software\Classes\CLSID\{...}\InprocServer32 of one hive, as COM does for an in-process
// class: in this process's own registry view, environment variables expanded.
#include "host/win32/win32_com_classes.h"

#include "host/win32/process_elevation.h"
#include "host/win32/registry_edit.h"
#include "host/win32/wide_text.h"
#include "host/win32/windows_api.h"

namespace vestrano::win32 {

#ifdef _WIN64
constexpr REGSAM kOwnView = KEY_WOW64_64KEY;
#else
constexpr REGSAM kOwnView = KEY_WOW64_32KEY;
#endif

std::optional<bool> Win32ComClasses::ProcessIsElevated() {
  return win32::ProcessIsElevated();
}

std::optional<std::string> Win32ComClasses::TabStripServer(host::ClassHive hive) {
  const auto server =
      ReadDefaultPath(hive == host::ClassHive::kMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER,
                      L"Software\\Classes\\CLSID\\" + clsid_ + L"\\InprocServer32", kOwnView);
  if (!server) return std::nullopt;
  return WideToUtf8(*server);
}

}  // namespace vestrano::win32
