// Caught failures, written to the debugger's output with a fixed prefix ("Vestrano: "), where
// DebugView or an attached debugger shows them. Nothing reaches the user.
#pragma once

#include "host/diagnostics.h"

namespace vestrano::win32 {

class Win32Diagnostics final : public host::IDiagnostics {
 public:
  void ReportFailure(std::string_view where, std::string_view what) noexcept override;
};

// Installs the one instance into the platform. It keeps no state and holds nothing of Windows,
// so DllMain may install it and nothing needs to take it out again.
void InstallWin32Diagnostics() noexcept;

}  // namespace vestrano::win32
