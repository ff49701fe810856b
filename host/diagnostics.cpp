// Routing of caught failures to the installed diagnostics.
#include "host/diagnostics.h"

#include <exception>

#include "host/platform.h"

namespace vestrano::host {

void ReportFailure(std::string_view where, std::string_view what) noexcept {
  if (IDiagnostics* diagnostics = CurrentPlatform().diagnostics) {
    diagnostics->ReportFailure(where, what);
  }
}

void ReportCaughtException(std::string_view where) noexcept {
  try {
    throw;
  } catch (const std::exception& error) {
    ReportFailure(where, error.what());
  } catch (...) {
    ReportFailure(where, "an exception of unknown type");
  }
}

}  // namespace vestrano::host
