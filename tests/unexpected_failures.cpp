// Every test fails when the add-in reports a failure it caught, unless the test provoked it
// (FakeDiagnostics::ExpectFailures): a swallowed exception is a fault, not a way to go on.
#include "tests/unexpected_failures.h"

#include <gtest/gtest.h>

#include "host/fake/fake_diagnostics.h"

namespace vestrano {

void FailTestsOnUnexpectedFailures() {
  fake::FakeDiagnostics::SetUnexpectedHandler([](const fake::ReportedFailure& failure) {
    ADD_FAILURE() << "failure reported in " << failure.where << ": " << failure.what;
  });
}

void IgnoreUnexpectedFailures() {
  fake::FakeDiagnostics::SetUnexpectedHandler(nullptr);
}

namespace {

const bool kInstalled = (FailTestsOnUnexpectedFailures(), true);

}  // namespace
}  // namespace vestrano
