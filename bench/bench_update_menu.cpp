// What the user waits for when the tab row is rebuilt: UpdateMenu over 10, 100 and 1000 open
// workbooks, and the count of workbooks with a tab that many callers ask for first. Runs on the
// in-memory fakes, so the time is the logic's and the fakes'; host_calls is what a real Excel
// would be asked per rebuild, each of which costs a cross-apartment call there.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "host/fake/fake_clock.h"
#include "host/fake/fake_excel.h"
#include "host/fake/fake_hooks.h"
#include "host/fake/fake_tab_control.h"
#include "host/fake/fake_window_system.h"
#include "host/fake/host_calls.h"
#include "host/platform.h"
#include "tabbar/form_vestrano.h"
#include "tabbar/module_pub.h"

namespace vestrano {
namespace {

// Excel with `count` saved workbooks, the last one active, and a loaded tab bar; the fakes are
// installed for as long as it lives.
class OpenWorkbooks {
 public:
  explicit OpenWorkbooks(int count) {
    ResetShared();
    calls_.SetLogging(false);
    auto& platform = host::CurrentPlatform();
    platform.controls = &controls_;
    platform.windows = &windows_;
    platform.timers = &clock_;
    platform.clock = &clock_;
    platform.hooks = &hooks_;
    excel_->AttachWindows(windows_, clock_);
    Shared().oExcelApp = excel_;
    for (int i = 0; i < count; ++i) excel_->Open("Book" + std::to_string(i) + ".xlsx", "C:\\Data");
    loaded_ = form_.Load();
  }
  ~OpenWorkbooks() {
    ResetShared();
    host::CurrentPlatform() = {};
  }
  OpenWorkbooks(const OpenWorkbooks&) = delete;
  OpenWorkbooks& operator=(const OpenWorkbooks&) = delete;

  bool Loaded() const { return loaded_; }
  Form_Vestrano& Form() { return form_; }
  fake::HostCalls& Calls() { return calls_; }
  int Tabs() const { return controls_.LastTabControl()->Count(); }

 private:
  fake::HostCalls calls_;
  fake::FakeClock clock_{calls_};
  fake::FakeHooks hooks_{calls_};
  fake::FakeWindowSystem windows_{calls_, hooks_};
  fake::FakeControlFactory controls_{calls_};
  std::shared_ptr<fake::FakeExcel> excel_ = std::make_shared<fake::FakeExcel>(calls_);
  Form_Vestrano form_;
  bool loaded_ = false;
};

void BM_UpdateMenu(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  OpenWorkbooks excel(count);
  if (!excel.Loaded()) {
    state.SkipWithError("the tab bar did not load");
    return;
  }
  excel.Calls().ClearLog();
  for (auto _ : state) excel.Form().UpdateMenu("");
  if (excel.Tabs() != count) state.SkipWithError("the row lost tabs");
  state.counters["host_calls"] = benchmark::Counter(static_cast<double>(excel.Calls().Count()),
                                                    benchmark::Counter::kAvgIterations);
  state.SetComplexityN(count);
}
BENCHMARK(BM_UpdateMenu)->Arg(10)->Arg(100)->Arg(1000)->Complexity(benchmark::oN);

void BM_CountVisibleWorkbooks(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  OpenWorkbooks excel(count);
  excel.Calls().ClearLog();
  for (auto _ : state) benchmark::DoNotOptimize(CountVisibleWorkbooks());
  state.counters["host_calls"] = benchmark::Counter(static_cast<double>(excel.Calls().Count()),
                                                    benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_CountVisibleWorkbooks)->Arg(10)->Arg(100)->Arg(1000);

}  // namespace
}  // namespace vestrano

BENCHMARK_MAIN();
