// The workbook menus and commands seen through the fakes: the popups built once per connection
// and gone with it, the one handler that hears all twelve buttons and dispatches on the exact
// command word, what the commands do when Excel will not activate a workbook (bounded attempts,
// and no close of the workbook to keep), the folder command's quoting, the Tools-menu toggle
// stopping at a failed step and its button's own Tag, and click timing across the tick count's
// wrap.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/shared_state.h"
#include "menus/workbook_commands.h"
#include "menus/workbook_menus.h"
#include "tests/connected_excel.h"

namespace vestrano {
namespace {

struct Menus : ConnectedExcel {
  explicit Menus(const char* version = "12.0") : ConnectedExcel(version) {}
  void Open(std::initializer_list<const char*> names) {
    for (const char* name : names) ASSERT_FALSE(host.excel->Open(name, "C:\\Data"));
  }
  std::string Workbooks() const { return scenario::WorkbooksLine(host.excel->WorkbookViews()); }
  fake::FakeCommandBars& Bars() { return host.excel->Bars(); }
  // Presses `button` over tab `index` (-1: the empty strip).
  void Press(int button, int index) {
    const auto point = host.ClickPoint(index);
    ASSERT_TRUE(point);
    host.TabStrip()->Press(button, point->x, point->y);
  }
};

TEST(WorkbookMenus, BuiltOncePerConnectionAndGoneWithIt) {
  Menus excel;
  excel.Open({"Book1.xlsx"});
  excel.Connect();
  excel.Connect();
  const auto* bar = excel.Bars().Bar(kTabBarPopup);
  ASSERT_TRUE(bar);
  EXPECT_EQ(bar->body->controls.size(), 8u);
  EXPECT_TRUE(bar->temporary);
  EXPECT_EQ(excel.Bars().Bar(kEmptyStripPopup)->body->controls.size(), 4u);
  for (const auto& item : bar->body->controls) EXPECT_EQ(item->tag, kMenuTag);
  EXPECT_EQ(excel.Bars().ClickConnections(), 1u);

  // Each of the twelve items reaches the one handler once, with itself as the control.
  for (const char* name : {"TabBar", "TabBarII"}) {
    for (const auto& item : excel.Bars().Bar(name)->body->controls) {
      excel.host.calls.ClearLog();
      excel.Bars().Click(item);
      EXPECT_EQ(excel.Calls("CommandBarControl.Parameter"), 1u) << item->caption;
      if (item->parameter == "Close" || item->parameter == "CloseAll") excel.Open({"Book1.xlsx"});
    }
  }

  excel.host.addin->AddinInstance_OnDisconnection();
  EXPECT_FALSE(excel.Bars().Bar(kTabBarPopup));
  EXPECT_FALSE(excel.Bars().Bar(kEmptyStripPopup));
  EXPECT_EQ(excel.Bars().ClickConnections(), 0u);
}

TEST(WorkbookMenus, BarsLeftByAnEarlierConnectionAreReplaced) {
  Menus excel;
  excel.Open({"Book1.xlsx", "Book2.xlsx"});
  // A connection that ended without its disconnection (the add-in was stopped) leaves its bars
  // in this Excel until Excel exits; no button is connected to them any more.
  for (std::string_view name : {kTabBarPopup, kEmptyStripPopup}) {
    const auto stale = excel.Bars().AddBar(name, host::kBarPopup, true);
    fake::FakeCommandBars::AddControl(stale->body, 1, "关闭工作簿(&C)")->parameter = "Close";
  }
  excel.Connect();
  ASSERT_EQ(excel.Bars().Bar(kTabBarPopup)->body->controls.size(), 8u);
  EXPECT_EQ(excel.Bars().Bar(kEmptyStripPopup)->body->controls.size(), 4u);
  // The menu that opens is the new one, and its items reach the handler.
  excel.Press(2, 0);  // the right button
  ASSERT_EQ(excel.Bars().OpenPopup(), kTabBarPopup);
  EXPECT_FALSE(excel.Bars().Choose("Close"));
  EXPECT_EQ(excel.Workbooks(), "workbooks: [Book2.xlsx]");
}

TEST(WorkbookCommands, DispatchOnTheExactWordOnly) {
  Menus excel;
  excel.Open({"Report.xlsx"});
  excel.Connect();
  for (const char* unknown : {"close", "CLOSE", "Close ", " New", "new", "", "Closed", "Options"}) {
    RunWorkbookCommand(unknown);
    EXPECT_EQ(excel.Workbooks(), "workbooks: [Report.xlsx]") << unknown;
  }
  RunWorkbookCommand("New");
  EXPECT_EQ(excel.Workbooks(), "workbooks: Report.xlsx | [Book1]");
  ASSERT_FALSE(excel.host.excel->Edit());
  RunWorkbookCommand("Save");
  EXPECT_EQ(excel.Workbooks(), "workbooks: Report.xlsx | [Book1.xlsx]");
}

TEST(WorkbookCommands, OpenDirQuotesThePathAndSkipsAWorkbookNeverSaved) {
  Menus excel;
  ASSERT_FALSE(excel.host.excel->Open("Q1, final.xlsx", "C:\\My Data"));
  excel.Connect();
  RunWorkbookCommand("OpenDir");
  ASSERT_FALSE(excel.host.excel->New());
  RunWorkbookCommand("OpenDir");
  EXPECT_EQ(excel.host.processes.Started(),
            std::vector<std::string>{"explorer /select ,\"C:\\My Data\\Q1, final.xlsx\""});
}

TEST(WorkbookCommands, CloseOtherNeverClosesTheWorkbookToKeep) {
  Menus excel;
  excel.Open({"Keep.xlsx", "Other.xlsx", "Third.xlsx"});
  ASSERT_FALSE(excel.host.excel->Activate("Keep.xlsx"));
  excel.Connect();
  // Excel will not activate anything: each workbook is tried a bounded number of times, and
  // Close, which acts on the active workbook, is never run on the one to keep.
  excel.host.calls.FailCall("Workbook.Activate");
  excel.host.calls.ClearLog();
  RunWorkbookCommand("CloseOther");
  EXPECT_EQ(excel.Workbooks(), "workbooks: [Keep.xlsx] | Other.xlsx | Third.xlsx");
  EXPECT_EQ(excel.Calls("Workbook.Activate"), static_cast<std::size_t>(kMaxActivations) + 2);
  EXPECT_EQ(excel.Calls("CommandBarControl.Execute"), 0u);
  EXPECT_TRUE(excel.host.excel->ScreenUpdating());
  EXPECT_FALSE(Shared().bBatchClose);

  // Without the active workbook's name there is no telling which one to keep.
  excel.host.calls.StopFailing();
  excel.host.calls.FailCall("Application.ActiveWorkbook", 1);
  RunWorkbookCommand("CloseOther");
  EXPECT_EQ(excel.Workbooks(), "workbooks: [Keep.xlsx] | Other.xlsx | Third.xlsx");
  RunWorkbookCommand("CloseOther");
  EXPECT_EQ(excel.Workbooks(), "workbooks: [Keep.xlsx]");
}

TEST(ToolsMenuButton, ToggleStopsAtAFailedStep) {
  Menus excel("11.0");
  excel.Open({"Book1.xls"});
  excel.Connect();
  ASSERT_TRUE(excel.BarShown());
  auto& tools = excel.Bars();
  excel.host.calls.FailCall("CommandBarControl.State", 1);
  ASSERT_FALSE(tools.ClickTools(kShowTabCaption));
  EXPECT_TRUE(excel.BarShown());
  // The check cannot be cleared: the bar stays, and "TabShow" is not written.
  excel.host.calls.FailCall("CommandBarControl.SetState", 1);
  ASSERT_FALSE(tools.ClickTools(kShowTabCaption));
  EXPECT_TRUE(excel.StripReserved());
  std::int32_t stored = -1;
  GetRegValue(host::kHkeyCurrentUser, kVestranoKey, kTabShowValue, stored);
  EXPECT_EQ(stored, -1);
  ASSERT_FALSE(tools.ClickTools(kShowTabCaption));
  EXPECT_FALSE(excel.BarShown());
  EXPECT_FALSE(excel.StripReserved());
  GetRegValue(host::kHkeyCurrentUser, kVestranoKey, kTabShowValue, stored);
  EXPECT_EQ(stored, 1);
  // Showing again: a check that cannot be set leaves the choice and the strip as they were, so
  // the button and the bar stay in step.
  excel.host.calls.FailCall("CommandBarControl.SetState", 1);
  ASSERT_FALSE(tools.ClickTools(kShowTabCaption));
  EXPECT_FALSE(excel.StripReserved());
  GetRegValue(host::kHkeyCurrentUser, kVestranoKey, kTabShowValue, stored);
  EXPECT_EQ(stored, 1);
  // The choice to show is stored before the check shows it.
  excel.host.calls.ClearLog();
  ASSERT_FALSE(tools.ClickTools(kShowTabCaption));
  EXPECT_TRUE(excel.StripReserved());
  GetRegValue(host::kHkeyCurrentUser, kVestranoKey, kTabShowValue, stored);
  EXPECT_EQ(stored, 0);
  const auto& log = excel.host.calls.Log();
  EXPECT_LT(std::find(log.begin(), log.end(), "Registry.SetValue"),
            std::find(log.begin(), log.end(), "CommandBarControl.SetState"));
}

TEST(ToolsMenuButton, HasATagOfItsOwnAlsoWhenAnEarlierSessionLeftIt) {
  Menus excel("11.0");
  excel.Open({"Book1.xls"});
  excel.Connect();
  const auto tools = excel.Bars().FindControl(host::kControlToolsMenu);
  ASSERT_TRUE(tools);
  EXPECT_EQ(tools->controls.back()->caption, kShowTabCaption);
  EXPECT_EQ(tools->controls.back()->tag, kShowTabTag);
  excel.host.addin->AddinInstance_OnDisconnection();

  // An Excel that ended without disconnecting left the button, untagged as older builds made it.
  const auto left = fake::FakeCommandBars::AddControl(tools, 1, kShowTabCaption);
  left->state = host::kButtonDown;
  const auto controls = tools->controls.size();
  excel.Connect();
  EXPECT_EQ(tools->controls.size(), controls);
  EXPECT_EQ(left->tag, kShowTabTag);
  EXPECT_EQ(left->state, host::kButtonDown);
  ASSERT_FALSE(excel.Bars().ClickTools(kShowTabCaption));
  EXPECT_FALSE(excel.BarShown());
  EXPECT_EQ(left->state, host::kButtonUp);
}

TEST(MouseUp, DoubleClickAcrossTheTickCountsWrap) {
  Menus excel;
  excel.Open({"Book1.xlsx", "Book2.xlsx"});
  excel.host.clock.SetTickBase(0xFFFFFFFFu - 100);
  excel.Connect();
  excel.Press(1, 0);
  excel.host.clock.Advance(200);
  EXPECT_EQ(excel.Workbooks(), "workbooks: [Book1.xlsx] | Book2.xlsx");
  excel.Press(1, 0);
  EXPECT_EQ(excel.Workbooks(), "workbooks: [Book2.xlsx]");
  // A click on the empty strip followed by one on a tab is no pair.
  excel.host.clock.Advance(600);
  excel.Press(1, -1);
  excel.Press(1, 0);
  EXPECT_EQ(excel.Workbooks(), "workbooks: [Book2.xlsx]");
}

TEST(MouseUp, NoCommandActsOnAWorkbookExcelDidNotActivate) {
  Menus excel;
  excel.Open({"A.xlsx", "B.xlsx"});
  excel.Connect();
  ASSERT_EQ(excel.Tabs(), "tabs: A.xlsx | [B.xlsx]");

  // Excel refuses the switch: the row goes back to the active workbook, the second click of a
  // double-click closes nothing, and a right-click opens no menu whose commands would act on B.
  excel.host.calls.FailCall("Window.Activate");
  excel.Press(1, 0);
  EXPECT_EQ(excel.Tabs(), "tabs: A.xlsx | [B.xlsx]");
  excel.Press(1, 0);
  EXPECT_EQ(excel.Workbooks(), "workbooks: A.xlsx | [B.xlsx]");
  excel.Press(2, 0);
  EXPECT_FALSE(excel.Bars().OpenPopup());
  EXPECT_EQ(excel.Tabs(), "tabs: A.xlsx | [B.xlsx]");

  // A row left behind by a switch the add-in did not hear (events off): a click on the tab that
  // is selected already still brings its workbook to the front.
  excel.host.calls.StopFailing();
  excel.host.clock.Advance(1000);
  excel.Press(1, 0);
  ASSERT_EQ(excel.Workbooks(), "workbooks: [A.xlsx] | B.xlsx");
  {
    const ScopedFlag stale(Shared().bUpdatingTabs);
    excel.host.TabStrip()->Item(1)->SetSelected(true);
  }
  excel.Press(1, 1);
  EXPECT_EQ(excel.Workbooks(), "workbooks: A.xlsx | [B.xlsx]");
  EXPECT_EQ(excel.Tabs(), "tabs: A.xlsx | [B.xlsx]");
}

}  // namespace
}  // namespace vestrano
