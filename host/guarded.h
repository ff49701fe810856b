// Runs the body of an entry point that Excel or Windows calls (an event handler, a timer or hook
// procedure) and stops whatever it throws: nothing may unwind into the caller, and the add-in's
// policy for a failed step is to go on without it. What was stopped is reported as a failure of
// `where`.
#pragma once

#include <string_view>

#include "host/diagnostics.h"

namespace vestrano {

template <typename Body>
void Guarded(std::string_view where, Body body) noexcept {
  try {
    body();
  } catch (...) {
    host::ReportCaughtException(where);
  }
}

}  // namespace vestrano
