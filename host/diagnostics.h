// Failures that the add-in caught and went on from: an exception stopped at a boundary that
// Excel or Windows calls (an event handler, a window, timer or hook procedure, a COM method).
// The user never sees them; on Windows they go to the debugger's output (DebugView), in the
// fakes to a list that the tests and the scenario runner read.
#pragma once

#include <string_view>

namespace vestrano::host {

class IDiagnostics {
 public:
  virtual ~IDiagnostics() = default;
  // `where` names the entry point, `what` the failure.
  virtual void ReportFailure(std::string_view where, std::string_view what) noexcept = 0;
};

// Reports through the installed diagnostics; nowhere when none is installed.
void ReportFailure(std::string_view where, std::string_view what) noexcept;
// Reports the exception being handled. Call it only inside a catch block.
void ReportCaughtException(std::string_view where) noexcept;

}  // namespace vestrano::host
