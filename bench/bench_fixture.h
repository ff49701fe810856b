// A connected add-in over the in-memory Excel with a number of open workbooks, for the
// benchmarks. The call log keeps counting but stops keeping names, which would cost more than
// the work measured.
#pragma once

#include <benchmark/benchmark.h>

#include <string>

#include "addin/addin.h"
#include "sim/sim_host.h"

namespace vestrano::bench {

class ConnectedExcel {
 public:
  ConnectedExcel(int workbooks, const char* version = "12.0") {
    host.calls.SetLogging(false);
    host.excel->SetVersion(version);
    for (int i = 0; i < workbooks; ++i) {
      host.excel->Open("Book" + std::to_string(i) + ".xlsx", "C:\\Data");
    }
    host.addin = std::make_unique<Vestranov3>();
    host.addin->AddinInstance_OnConnection(host.excel, kConnectStartup);
    host.calls.ClearLog();
  }
  int Tabs() const { return host.TabStrip() ? host.TabStrip()->Count() : -1; }
  // Host calls made per iteration since the fixture was set up.
  void ReportHostCalls(benchmark::State& state) const {
    state.counters["host_calls"] = benchmark::Counter(static_cast<double>(host.calls.Count()),
                                                      benchmark::Counter::kAvgIterations);
  }

  sim::SimHost host;
};

}  // namespace vestrano::bench
