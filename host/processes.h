// Starting a system tool as a process of its own: Explorer, which is left to run, and regsvr32,
// whose exit the start-up installation waits for.
#pragma once

#include <cstdint>
#include <string_view>

namespace vestrano::host {

struct ProcessRun {
  enum class Outcome {
    kNotStarted,
    kTimedOut,  // still running when the wait ended; it is left to finish on its own
    kExited,
  };
  Outcome outcome = Outcome::kNotStarted;
  std::uint32_t exit_code = 0;  // when it exited
};

class IProcesses {
 public:
  virtual ~IProcesses() = default;
  // Starts the command line as a new process with a normal, focused window; false when it could
  // not be started. The process is not waited for.
  virtual bool StartProcess(std::string_view command_line) = 0;
  // Starts the command line as StartProcess does, in `working_folder`, and waits up to `timeout_ms`
  // for its exit without dispatching any of the calling thread's messages.
  virtual ProcessRun RunToExit(std::string_view command_line, std::string_view working_folder,
                               std::uint32_t timeout_ms) = 0;
};

}  // namespace vestrano::host
