// Process start behind host/processes.h: CreateProcess with a normal, focused window, and a
// bounded wait for the exit of a process that is waited for.
#pragma once

#include "host/processes.h"

namespace vestrano::win32 {

class Win32Processes final : public host::IProcesses {
 public:
  bool StartProcess(std::string_view command_line) override;
  host::ProcessRun RunToExit(std::string_view command_line, std::string_view working_folder,
                             std::uint32_t timeout_ms) override;
};

}  // namespace vestrano::win32
