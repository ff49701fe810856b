// Starting a system tool (Explorer) as a process of its own.
#pragma once

#include <string_view>

namespace vestrano::host {

class IProcesses {
 public:
  virtual ~IProcesses() = default;
  // Starts the command line as a new process with a normal, focused window; false when it could
  // not be started. The process is not waited for.
  virtual bool StartProcess(std::string_view command_line) = 0;
};

}  // namespace vestrano::host
