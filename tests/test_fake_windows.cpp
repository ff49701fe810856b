// The fakes that the window-integration tests stand on: the subclass chain, what SetWindowPos
// sends and in which order, timers on the virtual clock, the CBT hook chain, and Excel's modal
// prompt and Save As dialog as timers see them. A fault here would
// let the add-in's own tests pass against a Windows that does not exist.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "host/fake/fake_clock.h"
#include "host/fake/fake_excel.h"
#include "host/fake/fake_hooks.h"
#include "host/fake/fake_window_system.h"
#include "scenario/observation_lines.h"

namespace vestrano {
namespace {

using fake::FakeWindowSystem;

// Procedures and hooks have no context argument; the test in progress parks its fakes here.
struct Context {
  fake::FakeWindowSystem* windows = nullptr;
  fake::FakeClock* clock = nullptr;
  fake::FakeHooks* hooks = nullptr;
  fake::FakeExcel* excel = nullptr;
  std::vector<std::string> log;
  host::WindowProcRef before_a = 0;
  host::WindowProcRef before_b = 0;
  Hwnd main;
};
Context g;

class FakeWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g = Context{};
    g.windows = &windows_;
    g.clock = &clock_;
    g.hooks = &hooks_;
  }
  void TearDown() override { g = Context{}; }

  fake::HostCalls calls_;
  fake::FakeClock clock_{calls_};
  fake::FakeHooks hooks_{calls_, clock_.ThreadId()};
  fake::FakeWindowSystem windows_{calls_, hooks_};
};

std::intptr_t ProcA(Hwnd hwnd, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
  g.log.push_back("A");
  return 10 + g.windows->CallPreviousProc(g.before_a, hwnd, message, wparam, lparam);
}

std::intptr_t ProcB(Hwnd hwnd, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
  g.log.push_back("B");
  return 1 + g.windows->CallPreviousProc(g.before_b, hwnd, message, wparam, lparam);
}

std::string TakeLog() {
  std::string joined;
  for (const auto& entry : g.log) joined += (joined.empty() ? "" : " ") + entry;
  g.log.clear();
  return joined;
}

TEST_F(FakeWindowsTest, SubclassChainKeepsEveryoneWhoeverLeavesFirst) {
  const Hwnd desk = windows_.AddWindow("XLDESK", "", Hwnd{}, Rect{0, 0, 100, 100}, true);
  g.before_a = windows_.SubclassWindow(desk, ProcA);
  g.before_b = windows_.SubclassWindow(desk, ProcB);
  EXPECT_EQ(g.before_a, FakeWindowSystem::kDefaultProc);
  EXPECT_NE(g.before_b, FakeWindowSystem::kDefaultProc);
  EXPECT_NE(g.before_b, 0u);
  // One procedure cannot be in front of itself.
  EXPECT_EQ(windows_.SubclassWindow(desk, ProcB), 0u);

  EXPECT_EQ(windows_.Send(desk, 0x400, 0, 0), 11);
  EXPECT_EQ(TakeLog(), "B A");
  // A ref names exactly one procedure, not the window's current one.
  EXPECT_EQ(windows_.CallPreviousProc(g.before_b, desk, 0x400, 0, 0), 10);
  EXPECT_EQ(TakeLog(), "A");

  // Undone in reverse order, the chain comes apart cleanly.
  ASSERT_TRUE(windows_.UnsubclassWindow(desk, ProcB, g.before_b));
  EXPECT_EQ(windows_.Send(desk, 0x400, 0, 0), 10);
  EXPECT_EQ(TakeLog(), "A");
  ASSERT_TRUE(windows_.UnsubclassWindow(desk, ProcA, g.before_a));
  EXPECT_EQ(windows_.State(desk).proc, FakeWindowSystem::kDefaultProc);
  EXPECT_EQ(windows_.Send(desk, 0x400, 0, 0), 0);
  EXPECT_EQ(TakeLog(), "");

  // Undone out of order, the later subclass stays and the earlier one only passes on.
  g.before_a = windows_.SubclassWindow(desk, ProcA);
  g.before_b = windows_.SubclassWindow(desk, ProcB);
  ASSERT_TRUE(windows_.UnsubclassWindow(desk, ProcA, g.before_a));
  EXPECT_EQ(windows_.Send(desk, 0x400, 0, 0), 1);
  EXPECT_EQ(TakeLog(), "B");
  // Subclassing again takes up the old place instead of making a loop.
  EXPECT_EQ(windows_.SubclassWindow(desk, ProcA), FakeWindowSystem::kDefaultProc);
  EXPECT_EQ(windows_.Send(desk, 0x400, 0, 0), 11);
  EXPECT_EQ(TakeLog(), "B A");
  ASSERT_TRUE(windows_.UnsubclassWindow(desk, ProcA, g.before_a));
  // The later one leaving too gives the window its own procedure, through the pass-through.
  ASSERT_TRUE(windows_.UnsubclassWindow(desk, ProcB, g.before_b));
  EXPECT_EQ(windows_.Send(desk, 0x400, 0, 0), 0);
  EXPECT_EQ(TakeLog(), "");

  EXPECT_FALSE(windows_.UnsubclassWindow(desk, ProcA, 0x1234));
  EXPECT_EQ(windows_.CallPreviousProc(0x1234, desk, 0x400, 0, 0), 0);
  EXPECT_EQ(windows_.SubclassWindow(Hwnd{0x999}, ProcA), 0u);
  calls_.FailCall("Windows.SubclassWindow", 1);
  EXPECT_EQ(windows_.SubclassWindow(desk, ProcB), 0u);
}

struct Seen {
  std::uint32_t message = 0;
  std::uintptr_t wparam = 0;
  host::WindowPos pos;
  Rect proposed;
  std::intptr_t lparam = 0;
};
std::vector<Seen> g_seen;

// Reserves a strip of 24 rows at the top, as the workbook-area subclass does.
std::intptr_t StripProc(Hwnd hwnd, std::uint32_t message, std::uintptr_t wparam,
                        std::intptr_t lparam) {
  Seen seen{message, wparam, {}, {}, lparam};
  if (message == host::kWmNcCalcSize && wparam) {
    auto& params = *reinterpret_cast<host::NcCalcSizeParams*>(lparam);
    seen.pos = *params.lppos;
    seen.proposed = params.rgrc[0];
    const host::WindowPos& pos = *params.lppos;
    params.rgrc[0] = Rect{pos.x, pos.y + 24, pos.x + pos.cx, pos.y + pos.cy};
    g_seen.push_back(seen);
    return host::kWvrValidRects;
  }
  g_seen.push_back(seen);
  return g.windows->CallPreviousProc(g.before_a, hwnd, message, wparam, lparam);
}

TEST_F(FakeWindowsTest, SetWindowPosSendsNcCalcSizeSizeAndNcPaintBeforeReturning) {
  const Hwnd main = windows_.AddWindow("XLMAIN", "", Hwnd{}, Rect{100, 50, 1124, 818}, true);
  const Hwnd desk = windows_.AddWindow("XLDESK", "", main, Rect{0, 80, 1024, 740}, true);
  const Hwnd grid = windows_.AddWindow("EXCEL7", "", desk, Rect{0, 0, 1024, 660}, true);
  g.before_a = windows_.SubclassWindow(desk, StripProc);
  g_seen.clear();

  ASSERT_TRUE(windows_.SetWindowPos(desk, Hwnd{}, 0, 0, 0, 0, host::kFrameChangeFlags));
  ASSERT_EQ(g_seen.size(), 3u);
  EXPECT_EQ(g_seen[0].message, host::kWmNcCalcSize);
  EXPECT_EQ(g_seen[0].wparam, 1u);
  EXPECT_EQ(g_seen[0].pos.hwnd, desk);
  EXPECT_EQ(g_seen[0].pos.flags, host::kFrameChangeFlags);
  EXPECT_EQ(Rect(g_seen[0].pos.x, g_seen[0].pos.y, g_seen[0].pos.cx, g_seen[0].pos.cy),
            Rect(0, 80, 1024, 660));
  EXPECT_EQ(g_seen[0].proposed, Rect(0, 80, 1024, 740));
  EXPECT_EQ(g_seen[1].message, host::kWmSize);
  EXPECT_EQ(g_seen[1].lparam, (636 << 16) | 1024);
  EXPECT_EQ(g_seen[2].message, host::kWmNcPaint);
  EXPECT_EQ(g_seen[2].wparam, 1u);

  EXPECT_EQ(windows_.RectInParent(desk), Rect(0, 80, 1024, 740));
  EXPECT_EQ(windows_.ClientRectInParent(desk), Rect(0, 104, 1024, 740));
  EXPECT_EQ(windows_.GetClientRect(desk), Rect(0, 0, 1024, 636));
  EXPECT_EQ(windows_.GetWindowRect(desk), Rect(100, 130, 1124, 790));
  EXPECT_EQ(windows_.ScreenToClient(desk, Point{100, 154}), Point(0, 0));
  // Children stay put in the client area, so they move down on the screen with it.
  EXPECT_EQ(windows_.GetWindowRect(grid), Rect(100, 154, 1124, 814));

  // A resize asks for the client area too; only a frame change repaints the frame.
  g_seen.clear();
  ASSERT_TRUE(windows_.SetWindowPos(desk, Hwnd{}, 0, 80, 1024, 620, host::kSwpNoZOrder));
  ASSERT_EQ(g_seen.size(), 2u);
  EXPECT_EQ(g_seen[0].pos.cy, 620);
  EXPECT_EQ(g_seen[1].message, host::kWmSize);
  EXPECT_EQ(windows_.ClientRectInParent(desk), Rect(0, 104, 1024, 700));

  // A hidden window is measured but not painted.
  ASSERT_TRUE(windows_.ShowWindow(main, false));
  EXPECT_FALSE(windows_.IsWindowVisible(desk));
  g_seen.clear();
  ASSERT_TRUE(windows_.SetWindowPos(desk, Hwnd{}, 0, 0, 0, 0, host::kFrameChangeFlags));
  ASSERT_EQ(g_seen.size(), 1u);
  EXPECT_EQ(g_seen[0].message, host::kWmNcCalcSize);

  // Back to the default procedure, the client area is the whole window again.
  ASSERT_TRUE(windows_.ShowWindow(main, true));
  ASSERT_TRUE(windows_.UnsubclassWindow(desk, StripProc, g.before_a));
  ASSERT_TRUE(windows_.SetWindowPos(desk, Hwnd{}, 0, 0, 0, 0, host::kFrameChangeFlags));
  EXPECT_EQ(windows_.ClientRectInParent(desk), Rect(0, 80, 1024, 700));
  EXPECT_EQ(windows_.GetWindowRect(grid), Rect(100, 130, 1124, 790));
}

TEST_F(FakeWindowsTest, TreeSearchParentingAndDestruction) {
  const Hwnd main = windows_.AddWindow("XLMAIN", "Excel", Hwnd{}, Rect{100, 50, 500, 450}, true);
  const Hwnd box1 = windows_.AddWindow("#32770", "Other", main, Rect{10, 10, 50, 50}, true);
  const Hwnd box2 = windows_.AddWindow("#32770", "Microsoft Excel", main, Rect{}, false);
  const Hwnd inner = windows_.AddWindow("Button", "OK", box2, Rect{}, true);

  EXPECT_EQ(windows_.FindChildWindow(main, Hwnd{}, "#32770", std::nullopt), box1);
  EXPECT_EQ(windows_.FindChildWindow(main, box1, "#32770", std::nullopt), box2);
  EXPECT_EQ(windows_.FindChildWindow(main, Hwnd{}, "#32770", "Microsoft Excel"), box2);
  EXPECT_EQ(windows_.FindChildWindow(main, Hwnd{}, "#32770", "microsoft excel"), Hwnd{});
  EXPECT_EQ(windows_.FindChildWindow(main, Hwnd{}, "Button", std::nullopt), Hwnd{});
  EXPECT_EQ(windows_.FindChildWindow(Hwnd{}, Hwnd{}, "XLMAIN", std::nullopt), main);
  EXPECT_EQ(windows_.FindChildWindow(main, inner, std::nullopt, std::nullopt), Hwnd{});
  EXPECT_FALSE(windows_.IsWindowVisible(inner));

  // A top-level window keeps its numbers when it becomes a child: they now count from the
  // parent's client origin.
  const Hwnd form =
      windows_.CreateOwnWindow("ThunderRT6FormDC", "Vestrano", host::kWsVisible, nullptr);
  EXPECT_FALSE(windows_.State(form).visible);
  ASSERT_TRUE(windows_.SetWindowPos(form, Hwnd{}, 30, 40, 200, 25, host::kSwpShowWindow));
  ASSERT_TRUE(windows_.SetParent(form, main));
  EXPECT_EQ(windows_.GetWindowRect(form), Rect(130, 90, 330, 115));
  EXPECT_FALSE(windows_.SetParent(main, form));
  EXPECT_EQ(windows_.SetOwner(form, main), Hwnd{});
  EXPECT_EQ(windows_.SetOwner(form, Hwnd{}), main);
  ASSERT_TRUE(windows_.SetStyle(form, host::kWsChild));
  EXPECT_FALSE(windows_.IsWindowVisible(form));

  ASSERT_TRUE(windows_.SetFocusDirect(inner));
  ASSERT_TRUE(windows_.DestroyWindow(box2));
  EXPECT_FALSE(windows_.State(inner).alive);
  EXPECT_EQ(windows_.FocusWindow(), Hwnd{});
  EXPECT_EQ(windows_.FindChildWindow(main, Hwnd{}, "#32770", "Microsoft Excel"), Hwnd{});
  EXPECT_FALSE(windows_.ClassNameOf(box2));
  EXPECT_FALSE(windows_.DestroyWindow(box2));

  EXPECT_TRUE(windows_.LockWindowUpdate(main));
  EXPECT_FALSE(windows_.LockWindowUpdate(box1));
  EXPECT_TRUE(windows_.LockWindowUpdate(Hwnd{}));
  EXPECT_TRUE(windows_.LockWindowUpdate(box1));
}

std::vector<std::pair<host::TimerId, std::uint32_t>> g_fired;
host::TimerId g_victim = 0;

void RecordTimer(std::uintptr_t id, std::uint32_t tick) {
  g_fired.emplace_back(id, tick);
}

void KillVictimAndSelf(std::uintptr_t id, std::uint32_t tick) {
  g_fired.emplace_back(id, tick);
  g.clock->KillTimer(g_victim);
  g.clock->KillTimer(id);
}

// Lets 500 ms pass inside itself the first time, as a modal loop would.
void ModalOnce(std::uintptr_t id, std::uint32_t tick) {
  g_fired.emplace_back(id, tick);
  if (g_fired.size() == 1) g.clock->Advance(500);
}

void Multiply(std::uintptr_t, std::uint32_t) {
  g.clock->SetTimer(10, Multiply);
}

TEST_F(FakeWindowsTest, TimersFireInDueOrderOncePerDueTime) {
  g_fired.clear();
  const host::TimerId slow = clock_.SetTimer(50, RecordTimer);
  const host::TimerId fast = clock_.SetTimer(30, RecordTimer);
  ASSERT_TRUE(clock_.Advance(100));
  const std::vector<std::pair<host::TimerId, std::uint32_t>> expected{
      {fast, 30}, {slow, 50}, {fast, 60}, {fast, 90}, {slow, 100}};
  EXPECT_EQ(g_fired, expected);
  ASSERT_TRUE(clock_.KillTimer(slow));
  ASSERT_TRUE(clock_.KillTimer(fast));
  EXPECT_FALSE(clock_.KillTimer(fast));

  // Killed before its turn at the same due time, a timer does not fire.
  g_fired.clear();
  const host::TimerId killer = clock_.SetTimer(50, KillVictimAndSelf);
  g_victim = clock_.SetTimer(50, RecordTimer);
  clock_.Advance(200);
  ASSERT_EQ(g_fired.size(), 1u);
  EXPECT_EQ(g_fired[0].first, killer);
  EXPECT_EQ(clock_.PendingTimers(), 0u);

  // Below the minimum, an interval counts as 10 ms.
  g_fired.clear();
  const host::TimerId quick = clock_.SetTimer(1, RecordTimer);
  clock_.Advance(9);
  EXPECT_TRUE(g_fired.empty());
  clock_.Advance(1);
  EXPECT_EQ(g_fired.size(), 1u);
  clock_.KillTimer(quick);

  // Time passing inside a procedure fires the timer on time there, and it does not make up
  // for that time afterwards: one firing per 50 ms.
  g_fired.clear();
  const auto start = static_cast<std::uint32_t>(clock_.Now());
  const host::TimerId modal = clock_.SetTimer(50, ModalOnce);
  clock_.Advance(1000);
  ASSERT_EQ(g_fired.size(), 20u);
  for (std::size_t i = 0; i < g_fired.size(); ++i) {
    EXPECT_EQ(g_fired[i].second, start + 50u * static_cast<std::uint32_t>(i + 1)) << i;
  }
  clock_.KillTimer(modal);

  // Procedures that never stop are cut short, and the time still passes.
  EXPECT_FALSE(clock_.Overran());
  const std::uint64_t before = clock_.Now();
  clock_.SetTimer(10, Multiply);
  EXPECT_FALSE(clock_.Advance(1000));
  EXPECT_TRUE(clock_.Overran());
  EXPECT_EQ(clock_.Now(), before + 1000);

  calls_.FailCall("Timers.SetTimer", 1);
  EXPECT_EQ(clock_.SetTimer(50, RecordTimer), 0u);
  EXPECT_EQ(clock_.SetTimer(50, nullptr), 0u);
}

std::intptr_t HookOld(int code, std::uintptr_t wparam, std::intptr_t lparam) {
  g.log.push_back("old:" + std::to_string(code));
  return g.hooks->CallNextHook(0, code, wparam, lparam);
}

// Answers the activation of the window-list dialog by giving Excel the focus, as the add-in's
// hook does.
std::intptr_t HookNew(int code, std::uintptr_t wparam, std::intptr_t lparam) {
  g.log.push_back("new:" + std::to_string(code));
  if (code == host::kHcbtActivate && g.windows->State(Hwnd{wparam}).title == "激活") {
    g.windows->SetFocus(g.main);
  }
  return g.hooks->CallNextHook(0, code, wparam, lparam);
}

std::intptr_t HookRefuse(int, std::uintptr_t, std::intptr_t) {
  return 1;
}

TEST_F(FakeWindowsTest, CbtChainRunsNewestFirstForOurThreadOnly) {
  EXPECT_EQ(hooks_.InstallHook(host::kWhCbt, HookOld, 0, clock_.ThreadId() + 1), 0u);
  EXPECT_EQ(hooks_.InstallHook(host::kWhCbt, HookOld, 0, 0), 0u);
  const host::HookHandle old_hook =
      hooks_.InstallHook(host::kWhCbt, HookOld, 0, clock_.GetCurrentThreadId());
  const host::HookHandle new_hook =
      hooks_.InstallHook(host::kWhCbt, HookNew, 0, clock_.GetCurrentThreadId());
  ASSERT_NE(old_hook, 0u);
  ASSERT_NE(new_hook, 0u);
  EXPECT_EQ(hooks_.InstalledHooks(), 2u);

  g.main = windows_.AddWindow("XLMAIN", "", Hwnd{}, Rect{}, true);
  const Hwnd grid = windows_.AddWindow("EXCEL7", "", g.main, Rect{}, true);
  const Hwnd dialog = windows_.AddWindow("#32770", "激活", Hwnd{}, Rect{}, true);
  TakeLog();
  // Focusing a window whose top-level window is not active activates that one too.
  ASSERT_TRUE(windows_.SetFocusDirect(grid));
  EXPECT_EQ(TakeLog(), "new:9 old:9 new:5 old:5");
  EXPECT_EQ(windows_.ActiveWindow(), g.main);
  EXPECT_EQ(windows_.FocusWindow(), grid);
  // A hook that moves the focus runs a chain inside the chain; each runs to its own end.
  ASSERT_TRUE(windows_.Activate(dialog));
  EXPECT_EQ(TakeLog(), "new:5 new:9 old:9 old:5");
  EXPECT_EQ(windows_.ActiveWindow(), dialog);
  EXPECT_EQ(windows_.FocusWindow(), g.main);

  // A hook that answers nonzero prevents the change.
  const host::HookHandle refuse =
      hooks_.InstallHook(host::kWhCbt, HookRefuse, 0, clock_.ThreadId());
  EXPECT_EQ(windows_.SetFocus(grid), Hwnd{});
  EXPECT_EQ(windows_.FocusWindow(), g.main);
  ASSERT_TRUE(hooks_.RemoveHook(refuse));
  EXPECT_FALSE(hooks_.RemoveHook(refuse));
  TakeLog();
  EXPECT_EQ(hooks_.RunCbt(host::kHcbtSetFocus, grid.value, 0), 0);
  EXPECT_EQ(TakeLog(), "new:9 old:9");
  EXPECT_EQ(windows_.SetFocus(grid), g.main);
  ASSERT_TRUE(hooks_.RemoveHook(new_hook));
  TakeLog();
  EXPECT_EQ(windows_.SetFocus(dialog), grid);
  EXPECT_EQ(TakeLog(), "old:9 old:5");
  EXPECT_EQ(hooks_.CallNextHook(old_hook, 0, 0, 0), 0);
}

// What a watch timer sees of Excel while it runs.
struct ExcelProbe {
  bool dialog = false;
  bool ready = false;
  std::string name;
};
std::vector<ExcelProbe> g_probes;
std::string g_dialog_class;
std::string g_dialog_title;

void ProbeExcel(std::uintptr_t, std::uint32_t) {
  const Hwnd main = *g.excel->Hwnd();
  ExcelProbe probe;
  probe.dialog = static_cast<bool>(
      g.windows->FindChildWindow(main, Hwnd{}, g_dialog_class, std::string_view(g_dialog_title)));
  probe.ready = g.excel->Ready().value_or(true);
  auto active = g.excel->ActiveWorkbook();
  probe.name = active ? active->Name().value_or("?") : "";
  g_probes.push_back(probe);
}

class FakeExcelWindowsTest : public FakeWindowsTest {
 protected:
  void SetUp() override {
    FakeWindowsTest::SetUp();
    excel_.AttachWindows(windows_, clock_);
    g.excel = &excel_;
    g_probes.clear();
  }
  fake::FakeExcel excel_{calls_};
};

TEST_F(FakeExcelWindowsTest, WindowTreeAndFocus) {
  const Hwnd main = *excel_.Hwnd();
  EXPECT_EQ(windows_.State(main).class_name, "XLMAIN");
  EXPECT_EQ(windows_.GetWindowRect(main), fake::excel_layout::kMainWindow);
  const Hwnd desk = windows_.FindChildWindow(main, Hwnd{}, "XLDESK", std::nullopt);
  const Hwnd bar = windows_.FindChildWindow(main, Hwnd{}, "EXCEL<", std::nullopt);
  EXPECT_EQ(windows_.RectInParent(desk), fake::excel_layout::kDesk);
  // The formula bar overlaps the workbook area by 4 rows.
  EXPECT_EQ(windows_.GetWindowRect(bar)->bottom - windows_.GetWindowRect(desk)->top, 4);

  ASSERT_FALSE(excel_.FocusClass("EXCEL7"));
  const Hwnd grid = windows_.FocusWindow();
  EXPECT_EQ(windows_.State(grid).class_name, "EXCEL7");
  EXPECT_EQ(windows_.State(grid).parent, desk);
  ASSERT_FALSE(excel_.FocusClass("EXCEL<"));
  EXPECT_EQ(windows_.FocusWindow(), bar);
  ASSERT_FALSE(excel_.FocusClass("EXCEL7"));
  EXPECT_EQ(windows_.FocusWindow(), grid);
  ASSERT_FALSE(excel_.FocusClass("EDTBX"));
  EXPECT_EQ(windows_.State(windows_.FocusWindow()).parent, main);
}

TEST_F(FakeExcelWindowsTest, SavePromptIsUpWhileTimersRun) {
  g_dialog_class = "#32770";
  g_dialog_title = "Microsoft Excel";
  ASSERT_FALSE(excel_.Open("A.xlsx", "C:\\Data"));
  ASSERT_FALSE(excel_.FocusClass("EXCEL7"));
  const Hwnd grid = windows_.FocusWindow();
  const host::TimerId timer = clock_.SetTimer(50, ProbeExcel);

  // A saved workbook closes at once.
  ASSERT_FALSE(excel_.Close("A.xlsx"));
  EXPECT_EQ(clock_.Now(), 0u);
  ASSERT_FALSE(excel_.Open("A.xlsx", "C:\\Data"));

  excel_.Edit();
  excel_.SetSaveAnswer(fake::SaveAnswer::kCancel);
  ASSERT_FALSE(excel_.Close("A.xlsx"));
  ASSERT_EQ(g_probes.size(), 2u);
  EXPECT_TRUE(g_probes[0].dialog);
  EXPECT_FALSE(g_probes[0].ready);
  EXPECT_EQ(scenario::WorkbooksLine(excel_.WorkbookViews()), "workbooks: [A.xlsx*]");
  EXPECT_EQ(windows_.FindChildWindow(*excel_.Hwnd(), Hwnd{}, "#32770", std::nullopt), Hwnd{});
  EXPECT_TRUE(*excel_.Ready());
  EXPECT_EQ(windows_.FocusWindow(), grid);

  g_probes.clear();
  excel_.SetSaveAnswer(fake::SaveAnswer::kSave);
  ASSERT_FALSE(excel_.Close("A.xlsx"));
  ASSERT_FALSE(g_probes.empty());
  for (const auto& probe : g_probes) {
    EXPECT_TRUE(probe.dialog);
    EXPECT_FALSE(probe.ready);
    EXPECT_EQ(probe.name, "A.xlsx");
  }
  EXPECT_EQ(scenario::WorkbooksLine(excel_.WorkbookViews()), "workbooks: (none)");
  EXPECT_TRUE(*excel_.Ready());
  clock_.KillTimer(timer);
}

TEST_F(FakeExcelWindowsTest, SaveAsRenamesOnlyAfterTheDialogCloses) {
  g_dialog_class = "bosa_sdm_XL9";
  g_dialog_title = "另存为";
  ASSERT_FALSE(excel_.Open("A.xlsx", "C:\\Data"));
  clock_.SetTimer(50, ProbeExcel);
  ASSERT_FALSE(excel_.SaveAs("B.xlsx", "D:\\Work"));
  ASSERT_FALSE(g_probes.empty());
  for (const auto& probe : g_probes) {
    EXPECT_TRUE(probe.dialog);
    EXPECT_FALSE(probe.ready);
    EXPECT_EQ(probe.name, "A.xlsx");
  }
  EXPECT_EQ(scenario::WorkbooksLine(excel_.WorkbookViews()), "workbooks: [B.xlsx]");

  // A never-saved workbook saved with Ctrl+S goes through the same dialog.
  g_probes.clear();
  ASSERT_FALSE(excel_.New());
  ASSERT_FALSE(excel_.Save());
  ASSERT_FALSE(g_probes.empty());
  EXPECT_TRUE(g_probes.back().dialog);
  EXPECT_EQ(g_probes.back().name, "Book1");
  EXPECT_EQ(scenario::WorkbooksLine(excel_.WorkbookViews()), "workbooks: B.xlsx | [Book1.xlsx]");
  ProbeExcel(0, 0);
  EXPECT_FALSE(g_probes.back().dialog);
  EXPECT_TRUE(g_probes.back().ready);
}

}  // namespace
}  // namespace vestrano
