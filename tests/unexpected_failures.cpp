// Every test fails when the add-in reports a failure it caught, unless the test provoked it
// (FakeDiagnostics::ExpectFailures): a swallowed exception is a fault, not a way to go on.
#include <gtest/gtest.h>

#include "host/fake/fake_diagnostics.h"

namespace vestrano::fake {
namespace {

const bool kInstalled = [] {
  FakeDiagnostics::SetUnexpectedHandler([](const ReportedFailure& failure) {
    ADD_FAILURE() << "failure reported in " << failure.where << ": " << failure.what;
  });
  return true;
}();

}  // namespace
}  // namespace vestrano::fake
