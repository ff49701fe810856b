// The tab strip's class registration and the process's elevation through the registry and the
// process token. The class is read in the registry view of this DLL's own bitness.
#pragma once

#include <string>
#include <utility>

#include "host/com_classes.h"

namespace vestrano::win32 {

class Win32ComClasses final : public host::IComClasses {
 public:
  // `clsid` as registry text, braces included.
  explicit Win32ComClasses(std::wstring clsid) : clsid_(std::move(clsid)) {}
  std::optional<bool> ProcessIsElevated() override;
  std::optional<std::string> TabStripServer(host::ClassHive hive) override;

 private:
  std::wstring clsid_;
};

}  // namespace vestrano::win32
