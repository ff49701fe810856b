// Process start behind host/processes.h: CreateProcess with a normal, focused window.
#pragma once

#include "host/processes.h"

namespace vestrano::win32 {

class Win32Processes final : public host::IProcesses {
 public:
  bool StartProcess(std::string_view command_line) override;
};

}  // namespace vestrano::win32
