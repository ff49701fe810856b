// The list of caught failures and the handler for unexpected ones.
#include "host/fake/fake_diagnostics.h"

#include <utility>

namespace vestrano::fake {
namespace {

FakeDiagnostics::Handler& UnexpectedHandler() {
  static FakeDiagnostics::Handler handler;
  return handler;
}

}  // namespace

void FakeDiagnostics::ReportFailure(std::string_view where, std::string_view what) noexcept {
  try {
    failures_.push_back({std::string(where), std::string(what)});
    if (!expected_ && UnexpectedHandler()) UnexpectedHandler()(failures_.back());
  } catch (...) {
    // Out of memory while reporting: the report is lost, the run goes on.
  }
}

void FakeDiagnostics::SetUnexpectedHandler(Handler handler) {
  UnexpectedHandler() = std::move(handler);
}

}  // namespace vestrano::fake
