// What COM shows this process of the tab strip's class: whether the process is elevated (an
// elevated process ignores the per-user classes), and which module file the class's
// registration names in each hive, in the registry view of this process's bitness.
#pragma once

#include <optional>
#include <string>

namespace vestrano::host {

enum class ClassHive { kUser, kMachine };

class IComClasses {
 public:
  virtual ~IComClasses() = default;
  // Empty optional when the system cannot say (Windows XP, which has no elevation, or a failed
  // query).
  virtual std::optional<bool> ProcessIsElevated() = 0;
  // The default value of the tab strip class's InprocServer32 key, environment variables
  // expanded; empty optional when the class is not registered there.
  virtual std::optional<std::string> TabStripServer(ClassHive hive) = 0;
};

}  // namespace vestrano::host
