// The caught failures of a test or scenario run, kept in a list. A failure that the run did not
// expect is also handed to a process-wide handler, through which the unit tests fail the test
// that was running.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/diagnostics.h"

namespace vestrano::fake {

struct ReportedFailure {
  std::string where;
  std::string what;
};

class FakeDiagnostics final : public host::IDiagnostics {
 public:
  using Handler = std::function<void(const ReportedFailure&)>;

  void ReportFailure(std::string_view where, std::string_view what) noexcept override;

  // From now on reports are expected: the run makes something fail on purpose.
  void ExpectFailures() { expected_ = true; }
  bool FailuresExpected() const { return expected_; }
  const std::vector<ReportedFailure>& Failures() const { return failures_; }

  // Called for every report that no run expected; nothing when unset.
  static void SetUnexpectedHandler(Handler handler);

 private:
  std::vector<ReportedFailure> failures_;
  bool expected_ = false;
};

}  // namespace vestrano::fake
