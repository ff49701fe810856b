// xlsim's Excel without its windows: the events of each action in Excel's order, the modal
// windows during which Excel is not Ready, what the object model refuses while a cell is edited,
// the Window menu's list, and the command bars' click delivery by tag. A recorder stands in for
// the screen and for the add-ins that listen.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "xlsim/command_bar_model.h"
#include "xlsim/excel_bars.h"
#include "xlsim/excel_model.h"

namespace vestrano::xlsim {
namespace {

// Records the events and what Excel shows, one short line each, and answers as the script says.
class Recorder final : public ExcelEvents, public ExcelShell {
 public:
  std::vector<std::string> log;
  bool editing = false;
  bool hide_extensions = false;
  std::optional<std::size_t> choose;   // the window-list dialog's answer
  std::function<void()> during_modal;  // runs while a modal window is up
  ExcelModel* excel = nullptr;

  std::string Take() {
    std::string out;
    for (const auto& entry : log) out += (out.empty() ? "" : " ") + entry;
    log.clear();
    return out;
  }

  void NewWorkbook(const WorkbookRef& wb) override { log.push_back("New(" + wb->name + ")"); }
  void WorkbookOpen(const WorkbookRef& wb) override { log.push_back("Open(" + wb->name + ")"); }
  void WorkbookActivate(const WorkbookRef& wb) override { log.push_back("Act(" + wb->name + ")"); }
  void WorkbookDeactivate(const WorkbookRef& wb) override {
    log.push_back("Deact(" + wb->name + ")");
  }
  void WindowActivate(const WorkbookRef&, const WindowRef& wn) override {
    log.push_back("WinAct(" + excel->CaptionOf(*wn) + ")");
  }
  void WindowDeactivate(const WorkbookRef&, const WindowRef& wn) override {
    log.push_back("WinDeact(" + excel->CaptionOf(*wn) + ")");
  }
  void WorkbookBeforeClose(const WorkbookRef& wb, bool& cancel) override {
    log.push_back("BeforeClose(" + wb->name + ")");
    cancel = cancel_close;
  }
  void WorkbookBeforeSave(const WorkbookRef& wb, bool save_as_ui, bool&) override {
    log.push_back("BeforeSave(" + wb->name + (save_as_ui ? ",ui" : "") + ")");
  }
  void SheetActivate(const WorkbookRef& wb) override { log.push_back("Sheet(" + wb->name + ")"); }
  void SheetSelectionChange(const WorkbookRef& wb) override {
    log.push_back("Select(" + wb->name + ")");
  }
  bool cancel_close = false;

  void WindowAdded(const WindowRef&) override {}
  void WindowRemoved(const Window&) override {}
  void WindowShown(const WindowRef&, bool) override {}
  void WindowToFront(const WindowRef&) override {}
  void CaptionsChanged(const Workbook&) override {}
  void FocusGrid() override {
    editing = false;
    log.push_back("FocusGrid");
  }
  bool Editing() override { return editing; }
  bool HideFileExtensions() override { return hide_extensions; }
  SaveAnswer AskToSave(const Workbook& wb, SaveAnswer preset) override {
    log.push_back("Prompt(" + wb.name + ")");
    if (during_modal) during_modal();
    return preset;
  }
  void SaveAsDialog(const Workbook& wb) override {
    log.push_back("SaveAs(" + wb.name + ")");
    if (during_modal) during_modal();
  }
  std::optional<std::size_t> WindowListDialog(const std::vector<WindowEntry>& entries,
                                              std::size_t selected) override {
    std::string list;
    for (const auto& entry : entries) list += (list.empty() ? "" : ",") + entry.caption;
    log.push_back("List(" + list + " @" + std::to_string(selected) + ")");
    return choose;
  }
};

struct Excel {
  Recorder recorder;
  ExcelModel model{recorder, recorder};
  Excel() { recorder.excel = &model; }
  std::string Workbooks() const { return scenario::WorkbooksLine(model.Views()); }
};

TEST(XlsimExcel, RaisesEachActionsEventsInExcelsOrder) {
  Excel excel;
  ASSERT_FALSE(excel.model.Open("A.xlsx", "C:\\Data"));
  EXPECT_EQ(excel.recorder.Take(), "Open(A.xlsx) Act(A.xlsx) WinAct(A.xlsx)");
  ASSERT_FALSE(excel.model.New());
  EXPECT_EQ(excel.recorder.Take(),
            "New(Book1) WinDeact(A.xlsx) Deact(A.xlsx) Act(Book1) WinAct(Book1)");
  // A second window of the same workbook: the window changes, the workbook does not.
  ASSERT_FALSE(excel.model.NewWindow("Book1"));
  EXPECT_EQ(excel.recorder.Take(), "WinDeact(Book1:1) WinAct(Book1:2)");
  ASSERT_FALSE(excel.model.SelectionChange());
  ASSERT_FALSE(excel.model.SheetChange());
  EXPECT_EQ(excel.recorder.Take(), "Select(Book1) Sheet(Book1)");
  // Closing one that is not in front brings it to the front first, as its close box does.
  ASSERT_FALSE(excel.model.Close("A.xlsx"));
  EXPECT_EQ(excel.recorder.Take(),
            "WinDeact(Book1:2) Deact(Book1) Act(A.xlsx) WinAct(A.xlsx) BeforeClose(A.xlsx) "
            "WinDeact(A.xlsx) Deact(A.xlsx) Act(Book1) WinAct(Book1:2)");
  // Hiding the active workbook hands activation to the next window in z-order.
  ASSERT_FALSE(excel.model.Open("B.xlsx", "C:\\Data"));
  excel.recorder.Take();
  ASSERT_FALSE(excel.model.Hide("B.xlsx"));
  EXPECT_EQ(excel.recorder.Take(), "WinDeact(B.xlsx) Deact(B.xlsx) Act(Book1) WinAct(Book1:2)");
  EXPECT_EQ(excel.Workbooks(), "workbooks: [Book1] | B.xlsx~");
  EXPECT_EQ(excel.model.Unhide("Book1"), "Book1 is not hidden");
  ASSERT_FALSE(excel.model.Unhide("B.xlsx"));
  EXPECT_EQ(excel.Workbooks(), "workbooks: Book1 | [B.xlsx]");
}

TEST(XlsimExcel, SavePromptAndSaveAsAreModalAndFollowTheAnswer) {
  Excel excel;
  ASSERT_FALSE(excel.model.Open("A.xlsx", "C:\\Data"));
  ASSERT_FALSE(excel.model.New());
  ASSERT_FALSE(excel.model.Edit());
  std::vector<bool> ready;
  excel.recorder.during_modal = [&] { ready.push_back(excel.model.Ready()); };
  excel.recorder.Take();

  excel.model.save_answer = SaveAnswer::kCancel;
  ASSERT_FALSE(excel.model.Close("Book1"));
  EXPECT_EQ(excel.recorder.Take(), "BeforeClose(Book1) Prompt(Book1)");
  EXPECT_EQ(excel.Workbooks(), "workbooks: A.xlsx | [Book1*]");

  // Saving a workbook never saved goes through Save As with its default answers.
  excel.model.save_answer = SaveAnswer::kSave;
  ASSERT_FALSE(excel.model.Close("Book1"));
  EXPECT_EQ(excel.recorder.Take(),
            "BeforeClose(Book1) Prompt(Book1) BeforeSave(Book1,ui) SaveAs(Book1) "
            "WinDeact(Book1.xlsx) Deact(Book1.xlsx) Act(A.xlsx) WinAct(A.xlsx)");
  EXPECT_EQ(excel.Workbooks(), "workbooks: [A.xlsx]");
  EXPECT_EQ(ready, (std::vector<bool>{false, false, false}));
  EXPECT_TRUE(excel.model.Ready());

  // Excel 2003 saves as .xls; a name another open workbook has, in any letter case, is refused.
  excel.model.version = "11.0";
  ASSERT_FALSE(excel.model.Open("book2.xls", "C:\\Data"));
  ASSERT_FALSE(excel.model.New());
  ASSERT_FALSE(excel.model.Save());
  EXPECT_EQ(excel.Workbooks(), "workbooks: A.xlsx | book2.xls | [Book2]");
  EXPECT_EQ(excel.model.SaveAs("A.XLSX", "C:\\Data"), "a workbook named A.XLSX is already open");
  ASSERT_FALSE(excel.model.SaveAs("Final.xls", "C:\\Out"));
  EXPECT_EQ(excel.model.ActiveWorkbook()->full_name, "C:\\Out\\Final.xls");

  // A handler that cancels the close keeps the workbook, prompt unasked.
  excel.recorder.cancel_close = true;
  ASSERT_FALSE(excel.model.Edit());
  excel.recorder.Take();
  ASSERT_FALSE(excel.model.Close("Final.xls"));
  EXPECT_EQ(excel.recorder.Take(), "BeforeClose(Final.xls)");
}

TEST(XlsimExcel, ObjectModelWaitsWhileACellIsEditedButTheWindowMenuSwitches) {
  Excel excel;
  ASSERT_FALSE(excel.model.Open("A.xlsx", "C:\\Data"));
  ASSERT_FALSE(excel.model.Open("B.xlsx", "C:\\Data"));
  excel.recorder.editing = true;
  EXPECT_FALSE(excel.model.Ready());
  const auto a = excel.model.Find("a.XLSX");
  ASSERT_TRUE(a);
  EXPECT_FALSE(excel.model.ActivateWorkbook(a));
  EXPECT_FALSE(excel.model.ActivateWindow(a->windows.front()));
  EXPECT_EQ(excel.Workbooks(), "workbooks: A.xlsx | [B.xlsx]");
  excel.recorder.Take();
  excel.model.ActivateFromMenu(a->windows.front());
  EXPECT_EQ(excel.recorder.Take(),
            "WinDeact(B.xlsx) Deact(B.xlsx) Act(A.xlsx) WinAct(A.xlsx) FocusGrid");
  EXPECT_TRUE(excel.model.Ready());
  excel.model.ready = false;
  EXPECT_FALSE(excel.model.Ready());
  // Excel keeps one workbook of a name, whatever the letter case.
  EXPECT_EQ(excel.model.Open("a.xlsx", "C:\\Other"), "a workbook named a.xlsx is already open");
}

TEST(XlsimExcel, WindowMenuListsVisibleWindowsAndTheWindowListDialogPicksOne) {
  Excel excel;
  CommandBarModel bars;
  AddExcelBars(bars, excel.model);
  for (const char* name : {"b.xlsx", "A.xlsx", "Report.xls", "Report.xlsx"}) {
    ASSERT_FALSE(excel.model.Open(name, "C:\\Data"));
  }
  ASSERT_FALSE(excel.model.NewWindow("A.xlsx"));
  ASSERT_FALSE(excel.model.Hide("b.xlsx"));
  EXPECT_EQ(scenario::MenuLine("Window", bars.Describe("Window")),
            "menu Window: 新建窗口(&N) | 重排窗口(&A)... | - &1 A.xlsx:1 | &2 A.xlsx:2 | "
            "&3 Report.xls | &4 Report.xlsx");
  // Without extensions the two reports share a caption; the newer window comes first.
  excel.recorder.hide_extensions = true;
  EXPECT_EQ(scenario::MenuLine("Window", bars.Describe("Window")),
            "menu Window: 新建窗口(&N) | 重排窗口(&A)... | - &1 A:1 | &2 A:2 | &3 Report | "
            "&4 Report");
  excel.recorder.hide_extensions = false;

  for (int i = 0; i < 6; ++i) ASSERT_FALSE(excel.model.New());
  const auto window = bars.FindControl(std::nullopt, kWindowMenuId, std::nullopt, false);
  const auto& entries = CommandBarModel::ControlsOf(window);
  ASSERT_EQ(entries.size(), 2u + 9u + 1u);
  EXPECT_EQ(entries.back()->caption, kMoreWindowsCaption);
  excel.recorder.Take();
  excel.recorder.choose = std::nullopt;
  bars.Click(entries.back());
  EXPECT_EQ(excel.recorder.Take(),
            "List(A.xlsx:1,A.xlsx:2,Book1,Book2,Book3,Book4,Book5,Book6,Report.xls,Report.xlsx "
            "@7)");
  EXPECT_EQ(excel.model.ActiveWorkbook()->name, "Book6");
  excel.recorder.choose = 9;
  bars.Click(CommandBarModel::ControlsOf(window).back());
  EXPECT_EQ(excel.model.ActiveWorkbook()->name, "Report.xlsx");
}

TEST(XlsimCommandBars, ClicksReachEveryButtonOfTheTagAndBuiltInCommandsRunUnlessCancelled) {
  Excel excel;
  CommandBarModel bars;
  AddExcelBars(bars, excel.model);
  ASSERT_FALSE(excel.model.Open("A.xlsx", "C:\\Data"));
  auto popup = bars.AddBar("TabBar", kBarPopup, true);
  ASSERT_TRUE(popup);
  EXPECT_FALSE(bars.AddBar("tabbar", kBarPopup, true));
  auto first = bars.AddControl(popup->body, kControlButton, std::nullopt, std::nullopt, false);
  auto second = bars.AddControl(popup->body, kControlButton, std::nullopt, 1, false);
  auto untagged = bars.AddControl(popup->body, kControlButton, std::nullopt, std::nullopt, false);
  first->tag = second->tag = "MultiWorkBook";
  first->parameter = "First";
  second->parameter = "Second";
  ASSERT_EQ(popup->body->controls.front(), second);

  std::vector<std::string> heard;
  const auto listen_as = [&](const char* who) {
    return [&heard, who](const ControlRef& clicked, bool&) {
      heard.push_back(std::string(who) + ":" + clicked->parameter);
    };
  };
  const auto one = bars.Listen(second, listen_as("one"));
  bars.Listen(untagged, listen_as("two"));
  bars.Click(first);
  bars.Click(untagged);
  EXPECT_EQ(heard, (std::vector<std::string>{"one:First", "two:"}));

  // A listener that unlistens the other and deletes the bar while the click is delivered.
  heard.clear();
  bars.Listen(first, [&](const ControlRef&, bool&) {
    heard.push_back("three");
    bars.Unlisten(one);
    bars.DeleteBar(popup);
  });
  bars.Click(second);
  EXPECT_EQ(heard, (std::vector<std::string>{"one:Second", "three"}));
  EXPECT_FALSE(second->alive);
  EXPECT_FALSE(bars.FindBar("TabBar"));
  EXPECT_EQ(scenario::MenuLine("TabBar", bars.Describe("TabBar")), "menu TabBar: (none)");

  // A copy of the built-in Close runs Excel's Close, unless a listener cancels it.
  auto tools = bars.FindControl(std::nullopt, kToolsMenuId, std::nullopt, false);
  auto close = bars.AddControl(tools, kControlButton, kControlClose, std::nullopt, false);
  ASSERT_TRUE(close);
  EXPECT_EQ(close->caption, "关闭(&C)");
  const auto cancel = bars.Listen(close, [](const ControlRef&, bool& cancel) { cancel = true; });
  bars.Click(close);
  EXPECT_EQ(excel.Workbooks(), "workbooks: [A.xlsx]");
  bars.Unlisten(cancel);
  bars.Click(close);
  EXPECT_EQ(excel.Workbooks(), "workbooks: (none)");
  EXPECT_FALSE(bars.AddControl(tools, kControlButton, 99999, std::nullopt, false));

  close->state = kButtonDown;
  close->enabled = false;
  EXPECT_EQ(scenario::MenuLine("Tools", bars.Describe("Tools")),
            "menu Tools: 拼写检查(&S)... | 选项(&O)... | 关闭(&C) (off) (checked)");
}

}  // namespace
}  // namespace vestrano::xlsim
