// Excel's events as the connected add-in follows them: the unsaved mark stays on its own
// workbook's tab, the first open's deferred refresh happens once, and a failure inside an entry
// point is reported, costs only that call, and leaves no guard set.
#include <gtest/gtest.h>

#include <string>

#include "core/shared_state.h"
#include "tests/connected_excel.h"
#include "winhook/desk_strip.h"

namespace vestrano {
namespace {

TEST(ExcelEvents, MarkHandlersLeaveAnotherWorkbooksTabAlone) {
  ConnectedExcel excel;
  auto& xl = *excel.host.excel;
  ASSERT_FALSE(xl.Open("A.xlsx", "C:\\Data"));
  ASSERT_FALSE(xl.Open("B.xlsx", "C:\\Data"));
  excel.Connect();
  ASSERT_EQ(excel.Tabs(), "tabs: A.xlsx | [B.xlsx]");

  // A command walking the workbooks activates them without rebuilding the row, so the selected
  // tab stays B's while A's events arrive.
  Shared().bBatchClose = true;
  ASSERT_FALSE(xl.Activate("A.xlsx"));
  ASSERT_FALSE(xl.Edit());
  ASSERT_FALSE(xl.SelectionChange());
  EXPECT_EQ(excel.Tabs(), "tabs: A.xlsx | [B.xlsx]");

  // The selected tab's own workbook is marked as before.
  ASSERT_FALSE(xl.Activate("B.xlsx"));
  ASSERT_FALSE(xl.Edit());
  ASSERT_FALSE(xl.SheetChange());
  EXPECT_EQ(excel.Tabs(), "tabs: A.xlsx | [B.xlsx *]");

  // A saved workbook's event does not rename B's tab, nor does saving A unmark it.
  ASSERT_FALSE(xl.Activate("A.xlsx"));
  ASSERT_FALSE(xl.Save());
  ASSERT_FALSE(xl.SelectionChange());
  EXPECT_EQ(excel.Tabs(), "tabs: A.xlsx | [B.xlsx *]");

  Shared().bBatchClose = false;
  ASSERT_FALSE(xl.Activate("B.xlsx"));
  EXPECT_EQ(excel.Tabs(), "tabs: A.xlsx | [B.xlsx *]");
  ASSERT_FALSE(xl.Save());
  EXPECT_EQ(excel.Tabs(), "tabs: A.xlsx | [B.xlsx]");
}

TEST(ExcelEvents, FirstOpenDefersItsRefreshOnceOnly) {
  ConnectedExcel excel;
  auto& xl = *excel.host.excel;
  excel.Connect();
  ASSERT_FALSE(xl.Open("A.xlsx", "C:\\Data"));
  EXPECT_NE(Shared().nTimerId, 0u);
  excel.host.clock.Advance(50);
  EXPECT_EQ(Shared().nTimerId, 0u);
  EXPECT_EQ(excel.Tabs(), "tabs: [A.xlsx]");

  // A later open refreshes at once. (Leaving A's window starts a close watch, which ends at the
  // first tick since a workbook is left.)
  ASSERT_FALSE(xl.Open("B.xlsx", "C:\\Data"));
  EXPECT_EQ(excel.Tabs(), "tabs: A.xlsx | [B.xlsx]");
  excel.host.clock.Advance(50);
  EXPECT_EQ(Shared().nTimerId, 0u);

  // No watch is held, so the last close still hides the bar and gives the strip back.
  ASSERT_FALSE(xl.Close("A.xlsx"));
  excel.host.clock.Advance(100);
  ASSERT_FALSE(xl.Close("B.xlsx"));
  excel.host.clock.Advance(100);
  EXPECT_FALSE(excel.BarShown());
  EXPECT_FALSE(excel.StripReserved());
}

TEST(ExcelEvents, AFailureInAnEntryPointIsReportedAndCostsOnlyThatCall) {
  ConnectedExcel excel;
  auto& xl = *excel.host.excel;
  auto& calls = excel.host.calls;
  ASSERT_FALSE(xl.Open("A.xlsx", "C:\\Data"));
  ASSERT_FALSE(xl.Open("B.xlsx", "C:\\Data"));
  excel.Connect();
  excel.host.diagnostics.ExpectFailures();
  const auto& reported = excel.host.diagnostics.Failures();

  // An event handler: the refresh is lost, the guard it had set is not left set.
  calls.ThrowOnCall("Workbook.Name");
  ASSERT_FALSE(xl.Activate("A.xlsx"));
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0].where, "WorkbookActivate");
  EXPECT_EQ(reported[0].what, "injected exception in Workbook.Name");
  EXPECT_FALSE(Shared().bUpdatingTabs);
  ASSERT_FALSE(xl.Activate("B.xlsx"));
  EXPECT_EQ(excel.Tabs(), "tabs: A.xlsx | [B.xlsx]");

  // The workbook area's procedure: that paint is lost, the next one places the bar.
  calls.ThrowOnCall("Application.Version");
  RequestDeskFrameChange();
  ASSERT_EQ(reported.size(), 2u);
  EXPECT_EQ(reported[1].where, "DeskWindowProc");
  RequestDeskFrameChange();
  EXPECT_TRUE(excel.BarShown());

  // The focus hook: the focus still moves.
  calls.ThrowOnCall("Windows.ClassNameOf");
  ASSERT_FALSE(xl.FocusClass("EDTBX"));
  ASSERT_EQ(reported.size(), 3u);
  EXPECT_EQ(reported[2].where, "CbtHookProc");
  EXPECT_EQ(excel.host.windows.ClassNameOf(excel.host.windows.FocusWindow()), "EDTBX");

  // A watch: the tick is lost, the watch goes on and finishes at the next one.
  ASSERT_FALSE(xl.Close("A.xlsx"));
  ASSERT_NE(Shared().nTimerId, 0u);
  calls.ThrowOnCall("Application.Ready");
  excel.host.clock.Advance(50);
  ASSERT_EQ(reported.size(), 4u);
  EXPECT_EQ(reported[3].where, "CloseWatchProc");
  EXPECT_NE(Shared().nTimerId, 0u);
  excel.host.clock.Advance(50);
  EXPECT_EQ(Shared().nTimerId, 0u);
  EXPECT_EQ(excel.Tabs(), "tabs: [B.xlsx]");
}

}  // namespace
}  // namespace vestrano
