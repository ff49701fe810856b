// The work Excel waits for outside a rebuild: one non-client paint of the workbook area (strip
// colour read from the registry, the strip filled, the bar placed, the Office colours applied on a
// whole-frame paint), and one WorkbookOpen event (a rebuild selecting the new workbook, plus the
// frame change when it is the only one).
#include <benchmark/benchmark.h>

#include "bench/bench_fixture.h"
#include "core/settings_keys.h"
#include "core/settings_store.h"
#include "host/registry.h"
#include "host/window_system.h"

namespace vestrano::bench {
namespace {

void BM_DeskNcPaint(benchmark::State& state) {
  ConnectedExcel excel(static_cast<int>(state.range(0)), state.range(1) ? "12.0" : "11.0");
  SetRegValue(host::kHkeyCurrentUser, kOfficeCommonKey, kOfficeThemeValue, host::kRegDword, 1);
  const Hwnd desk = excel.host.windows.Find(excel.host.MainWindow(), "XLDESK");
  excel.host.calls.ClearLog();
  for (auto _ : state) excel.host.windows.Send(desk, host::kWmNcPaint, 1, 0);
  excel.ReportHostCalls(state);
}
// Workbooks open, and Excel 2007 (1) or 2003 (0).
BENCHMARK(BM_DeskNcPaint)->Args({1, 1})->Args({100, 1})->Args({100, 0});

void BM_WorkbookOpenEvent(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  ConnectedExcel excel(count);
  // The first open after connection only starts a watch; the ones measured rebuild the row.
  excel.host.excel->RaiseWorkbookOpen("Book0.xlsx");
  excel.host.calls.ClearLog();
  for (auto _ : state) excel.host.excel->RaiseWorkbookOpen("Book0.xlsx");
  if (excel.Tabs() != count) state.SkipWithError("the row lost tabs");
  excel.ReportHostCalls(state);
}
BENCHMARK(BM_WorkbookOpenEvent)->Arg(1)->Arg(10)->Arg(100)->Arg(1000);

}  // namespace
}  // namespace vestrano::bench
