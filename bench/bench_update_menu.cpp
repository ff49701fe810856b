// What the user waits for when the tab row is rebuilt: UpdateMenu over 10, 100 and 1000 open
// workbooks, and the count of workbooks with a tab that many callers ask for first. Runs on the
// in-memory fakes, so the time is the logic's and the fakes'; host_calls is what a real Excel
// would be asked per rebuild, each of which costs a cross-apartment call there.
#include <benchmark/benchmark.h>

#include "bench/bench_fixture.h"
#include "core/shared_state.h"
#include "core/workbook_queries.h"
#include "tabbar/tab_bar_form.h"

namespace vestrano::bench {
namespace {

void BM_UpdateMenu(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  ConnectedExcel excel(count);
  auto& form = *Shared().oTabForm;
  for (auto _ : state) form.UpdateMenu("");
  if (excel.Tabs() != count) state.SkipWithError("the row lost tabs");
  excel.ReportHostCalls(state);
  state.SetComplexityN(count);
}
BENCHMARK(BM_UpdateMenu)->Arg(10)->Arg(100)->Arg(1000)->Complexity(benchmark::oN);

void BM_CountVisibleWorkbooks(benchmark::State& state) {
  ConnectedExcel excel(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(CountVisibleWorkbooks());
  excel.ReportHostCalls(state);
}
BENCHMARK(BM_CountVisibleWorkbooks)->Arg(10)->Arg(100)->Arg(1000);

}  // namespace
}  // namespace vestrano::bench

BENCHMARK_MAIN();
