// The tab row and the tab bar's look, seen through the host calls the fakes record: which
// workbooks get a tab and which tab is selected, what a failing host call costs (only its own
// step), that clicking a tab cannot hold Excel's thread, how the look follows the Excel version
// and the settings, and that a rebuild costs a fixed number of host calls per workbook.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <string>

#include "core/host_version.h"
#include "core/modified_mark.h"
#include "core/office_colors.h"
#include "core/shared_state.h"
#include "core/workbook_queries.h"
#include "host/fake/fake_excel.h"
#include "host/fake/fake_tab_control.h"
#include "scenario/observation_lines.h"
#include "sim/sim_host.h"
#include "tabbar/tab_bar_form.h"
#include "tabbar/tab_icons.h"

namespace vestrano {
namespace {

// The fakes installed, the form created but not loaded, Excel connected to the shared state.
struct Bar {
  Bar() { Shared().oExcelApp = host.excel; }

  void Open(std::initializer_list<const char*> names) {
    for (const char* name : names) ASSERT_FALSE(host.excel->Open(name, "C:\\Data"));
  }
  fake::FakeWorkbookState& State(std::size_t index) {
    return *host.excel->WorkbookStates().at(index);
  }
  fake::FakeTabControl& Strip() { return *host.controls.LastTabControl(); }
  std::string Tabs() {
    const auto tabs = Strip().Views();
    return scenario::TabsLine(&tabs);
  }
  std::string Workbooks() const { return scenario::WorkbooksLine(host.excel->WorkbookViews()); }
  // Loads the form and forgets the calls made so far.
  void Load() {
    ASSERT_TRUE(form.Load());
    host.calls.ClearLog();
  }
  // The form's window becomes `pixels` wide, and the form handles its resize.
  bool Resize(int pixels) {
    const Hwnd window = form.hWnd();
    return host.windows.SetWindowRectDirect(window, Rect{0, 0, pixels, 24}) && form.Form_Resize();
  }
  void Click(int index) {
    auto item = form.TabSeclect()->Item(index);
    ASSERT_TRUE(item);
    item->SetSelected(true);
  }

  sim::SimHost host;
  fake::HostCalls& calls = host.calls;
  Form_Vestrano form;
};

TEST(TabRules, ModifiedMarkAndIcons) {
  EXPECT_EQ(StripModifiedMark("Book1.xlsx *"), "Book1.xlsx");
  EXPECT_EQ(StripModifiedMark("Book1.xlsx*"), "Book1.xlsx*");
  EXPECT_EQ(StripModifiedMark("*"), "*");
  EXPECT_EQ(StripModifiedMark(" *"), "");
  EXPECT_EQ(StripModifiedMark("A * *"), "A *");
  EXPECT_EQ(StripModifiedMark("A * "), "A * ");
  EXPECT_EQ(StripModifiedMark(""), "");

  // Only the text after the last dot counts, in any letter case.
  EXPECT_EQ(GetTabImageIndex("Prices.Csv", "C:\\Prices.Csv"), 10);
  EXPECT_EQ(GetTabImageIndex("Backup.tar.gz", std::nullopt), kWorkbookIcon);
  EXPECT_EQ(GetTabImageIndex("Backup.gz.xlsm", std::nullopt), 13);
  EXPECT_EQ(GetTabImageIndex("Odd name.", std::nullopt), kWorkbookIcon);
  EXPECT_EQ(GetTabImageIndex(".xlt", std::nullopt), 9);
  EXPECT_EQ(GetTabImageIndex("Old.xls", "C:\\Old.xls"), kWorkbookIcon);
  // Without a dot the full name decides: never saved, or saved without an extension.
  EXPECT_EQ(GetTabImageIndex("Book1", "Book1"), kWorkbookIcon);
  EXPECT_EQ(GetTabImageIndex("README", "C:\\S\\README"), kGenericWindowIcon);

  // Without the full name the workbook is asked, found as Excel finds it (any letter case).
  Bar bar;
  ASSERT_FALSE(bar.host.excel->New());                    // Book1, never saved
  ASSERT_FALSE(bar.host.excel->Open("README", "C:\\S"));  // saved without extension
  EXPECT_EQ(GetTabImageIndex("Book1"), kWorkbookIcon);
  EXPECT_EQ(GetTabImageIndex("readme"), kGenericWindowIcon);
  EXPECT_EQ(GetTabImageIndex("Missing"), kWorkbookIcon);
  bar.calls.FailCall("Workbook.FullName", 1);
  EXPECT_EQ(GetTabImageIndex("README"), kWorkbookIcon);

  EXPECT_EQ(ParseHostVersion("12.0"), 12.0);
  EXPECT_EQ(ParseHostVersion("11.0"), 11.0);
  EXPECT_EQ(ParseHostVersion("10"), 10.0);
  EXPECT_FALSE(ParseHostVersion(""));
  EXPECT_FALSE(ParseHostVersion("Excel"));
}

TEST(UpdateMenu, OneTabPerWorkbookWithAVisibleWindow) {
  Bar bar;
  bar.Open({"PERSONAL.XLSB", "A.xlsx", "Two.xlsx", "Mid.xls", "B.xls", "Last.xlsx"});
  ASSERT_FALSE(bar.host.excel->NewWindow("Two.xlsx"));
  bar.State(2).windows[0]->visible = false;  // hidden first window, visible second one
  for (const char* hidden : {"PERSONAL.XLSB", "Mid.xls", "Last.xlsx"}) {
    ASSERT_FALSE(bar.host.excel->Hide(hidden));
  }
  ASSERT_FALSE(bar.host.excel->Activate("B.xls"));
  ASSERT_FALSE(bar.host.excel->Edit());
  bar.Load();
  EXPECT_EQ(bar.Tabs(), "tabs: A.xlsx | Two.xlsx | [B.xls *]");
  EXPECT_EQ(CountVisibleWorkbooks(), 3);
  EXPECT_FALSE(IsWorkbookVisible("Mid.xls"));
  EXPECT_TRUE(IsWorkbookVisible("Two.xlsx"));
  EXPECT_EQ(bar.Strip().State(2).tooltip, "C:\\Data\\B.xls");
  EXPECT_TRUE(bar.Strip().Paint().show_icons);
  EXPECT_TRUE(bar.Strip().HasImageList());

  // After a save the mark goes; a rebuild never leaves tabs of an earlier row behind.
  ASSERT_FALSE(bar.host.excel->Save());
  ASSERT_FALSE(bar.host.excel->Hide("A.xlsx"));
  bar.form.UpdateMenu("");
  EXPECT_EQ(bar.Tabs(), "tabs: Two.xlsx | [B.xls]");
}

TEST(UpdateMenu, SelectsTheExactNameAndTheLastOfEqualCaptions) {
  Bar bar;
  bar.Open({"report.xlsx", "Report.xlsx", "Other.xlsx"});
  bar.Load();
  Shared().bUpdatingTabs = true;

  bar.form.UpdateMenu("Report.xlsx");
  EXPECT_EQ(bar.Tabs(), "tabs: report.xlsx | [Report.xlsx] | Other.xlsx");
  // No tab of that exact spelling: nothing is selected, not even the previous tab.
  for (const char* absent : {"REPORT.XLSX", "Report.xlsx *", "Report", "Gone.xlsx"}) {
    bar.form.UpdateMenu(absent);
    EXPECT_EQ(bar.Strip().SelectedIndex(), std::nullopt) << absent;
  }
  // An empty name selects the active workbook.
  bar.form.UpdateMenu("");
  EXPECT_EQ(bar.Tabs(), "tabs: report.xlsx | Report.xlsx | [Other.xlsx]");

  // Two tabs with the same caption: every tab is compared, the last match stays selected.
  bar.State(0).name = "Other.xlsx";
  bar.calls.ClearLog();
  bar.form.UpdateMenu("Other.xlsx");
  EXPECT_EQ(bar.Tabs(), "tabs: Other.xlsx | Report.xlsx | [Other.xlsx]");
  EXPECT_EQ(bar.calls.CountOf("TabItem.SetSelected"), 2u);
  // The mark is not part of the name the caption is compared with.
  bar.State(1).saved = false;
  bar.form.UpdateMenu("Report.xlsx");
  EXPECT_EQ(bar.Tabs(), "tabs: Other.xlsx | [Report.xlsx *] | Other.xlsx");
}

TEST(UpdateMenu, AFailingCallSkipsOnlyItsOwnStep) {
  Bar bar;
  bar.Open({"A.xlsx", "B.xls", "README"});
  bar.Load();
  Shared().bUpdatingTabs = true;
  const auto tab = [&](int index) { return bar.Strip().State(index); };

  bar.calls.FailCall("Workbook.Saved", 1);
  bar.form.UpdateMenu("");
  EXPECT_EQ(bar.Tabs(), "tabs:  | B.xls | [README]");
  EXPECT_EQ(tab(0).tooltip, "C:\\Data\\A.xlsx");
  EXPECT_EQ(tab(0).image, 13);

  // Without the full names the icons still come: from the extension, or from asking again.
  bar.calls.FailCall("Workbook.FullName", 3);
  bar.form.UpdateMenu("");
  EXPECT_EQ(bar.Tabs(), "tabs: A.xlsx | B.xls | [README]");
  EXPECT_EQ(tab(0).tooltip + tab(1).tooltip + tab(2).tooltip, "");
  EXPECT_EQ(tab(0).image, 13);
  EXPECT_EQ(tab(1).image, 0);
  EXPECT_EQ(tab(2).image, 11);

  bar.calls.FailCall("Workbook.Name", 1);
  bar.form.UpdateMenu("");
  EXPECT_EQ(bar.Tabs(), "tabs:  | B.xls | [README]");
  EXPECT_EQ(tab(0).tooltip, "C:\\Data\\A.xlsx");
  EXPECT_EQ(tab(0).image, -1);
  EXPECT_EQ(tab(2).image, 11);

  // A workbook whose windows cannot be listed counts as having none visible.
  bar.calls.FailCall("Windows._NewEnum", 1);
  bar.form.UpdateMenu("");
  EXPECT_EQ(bar.Tabs(), "tabs: B.xls | [README]");
  // So does one whose windows will not say whether they are visible.
  bar.calls.FailCall("Window.Visible");
  EXPECT_EQ(CountVisibleWorkbooks(), 0);
  EXPECT_FALSE(IsWorkbookVisible("B.xls"));
  bar.form.UpdateMenu("");
  EXPECT_EQ(bar.Tabs(), "tabs: (none)");
  bar.calls.StopFailing();

  bar.calls.FailCall("TabControl.SetItemCount", 1);
  bar.form.UpdateMenu("");
  EXPECT_EQ(bar.Tabs(), "tabs: (none)");

  // The workbooks cannot be listed, at the start or halfway: an empty row, not a partial one.
  for (const char* call : {"Application.Workbooks", "Workbooks._NewEnum", "Workbooks.Next"}) {
    bar.form.UpdateMenu("");
    ASSERT_EQ(bar.Strip().Count(), 3);
    bar.calls.FailCall(call, 1);
    bar.form.UpdateMenu("");
    EXPECT_EQ(bar.Tabs(), "tabs: (none)") << call;
  }

  // Any mix of failures: never a crash, never more tabs than visible workbooks.
  Shared().bUpdatingTabs = false;
  for (std::uint32_t seed = 1; seed <= 50; ++seed) {
    bar.calls.FailRandomly(seed, 0.15);
    bar.form.UpdateMenu(seed % 2 ? "B.xls" : "");
    bar.calls.StopFailing();
    EXPECT_LE(bar.Strip().Count(), 3) << seed;
  }
}

TEST(SelectedChanged, GuardedAndBoundedWhenExcelNeverSwitches) {
  Bar bar;
  bar.Open({"A.xlsx", "B.xlsx"});
  bar.Load();
  ASSERT_EQ(bar.Tabs(), "tabs: A.xlsx | [B.xlsx]");

  // While the row is rebuilt or a Window-menu switch is pending, a selection switches nothing.
  for (bool SharedState::*guard : {&SharedState::bUpdatingTabs, &SharedState::bMenuActivating}) {
    bar.calls.ClearLog();
    Shared().*guard = true;
    bar.Click(0);
    Shared().*guard = false;
    EXPECT_EQ(bar.calls.CountOf("Window.Activate"), 0u);
    EXPECT_EQ(bar.Workbooks(), "workbooks: A.xlsx | [B.xlsx]");
    bar.Click(1);
  }

  bar.calls.ClearLog();
  bar.Click(0);
  EXPECT_EQ(bar.calls.CountOf("Window.Activate"), 1u);
  EXPECT_EQ(bar.Workbooks(), "workbooks: [A.xlsx] | B.xlsx");

  // Excel refuses every activation: a few attempts, then the click is given up and the row
  // shows the workbook that is still active.
  bar.calls.FailCall("Window.Activate");
  bar.calls.ClearLog();
  bar.Click(1);
  EXPECT_GE(bar.calls.CountOf("Window.Activate"), 1u);
  EXPECT_LE(bar.calls.CountOf("Window.Activate"), 10u);
  EXPECT_EQ(bar.Workbooks(), "workbooks: [A.xlsx] | B.xlsx");
  EXPECT_EQ(bar.Tabs(), "tabs: [A.xlsx] | B.xlsx");

  // A tab whose workbook has gone activates nothing; the row is built again from Excel.
  bar.calls.StopFailing();
  bar.State(1).name = "Renamed.xlsx";
  bar.calls.ClearLog();
  bar.Click(1);
  EXPECT_EQ(bar.calls.CountOf("Window.Activate"), 0u);
  EXPECT_EQ(bar.Tabs(), "tabs: [A.xlsx] | Renamed.xlsx");
}

TEST(FormLoad, LookFollowsVersionAndSettings) {
  using host::kAppearanceAccess2007, host::kAppearanceExcel, host::kAppearanceOffice2003;
  using host::kColorDefault, host::kColorOffice2003, host::kPositionBottom, host::kPositionTop;
  const std::optional<SchemeColors> none;
  constexpr double kDesigned = kDesignedTabLeftTwips;
  constexpr double kAccess = kTabStyles[1].left_twips;
  constexpr double kOffice = kTabStyles[2].left_twips;
  struct Case {
    const char* version;
    int theme, office, position;
    int appearance, color;
    bool luna;
    double left;
    int placed;
    std::optional<SchemeColors> colors;
  };
  // Before Excel 2003 the styles do not apply; before Excel 2007 the schemes do not.
  const Case cases[] = {
      {"10.0", 1, 1, 0, kAppearanceExcel, kColorDefault, true, kDesigned, kPositionTop, none},
      {"10.0", 2, 3, 1, kAppearanceExcel, kColorDefault, true, kDesigned, kPositionBottom, none},
      {"11.0", 1, 1, 0, kAppearanceAccess2007, kColorOffice2003, false, kAccess, kPositionTop,
       none},
      {"11.0", 2, 2, -1, kAppearanceOffice2003, kColorOffice2003, false, kOffice, kPositionBottom,
       none},
      {"12.0", 0, 0, 0, kAppearanceExcel, kColorOffice2003, false, kDesigned, kPositionTop, none},
      {"12.0", 0, 1, 0, kAppearanceExcel, kColorOffice2003, false, kDesigned, kPositionTop,
       kBlueTabs},
      {"12.0", 1, 2, 1, kAppearanceAccess2007, kColorOffice2003, false, kAccess, kPositionBottom,
       kSilverTabs},
      {"12.0", 2, 3, 0, kAppearanceOffice2003, kColorOffice2003, false, kOffice, kPositionTop,
       kBlackTabs},
      {"12.0", 5, 4, 0, kAppearanceExcel, kColorOffice2003, false, kDesigned, kPositionTop, none},
      {"14.0", 0, 1, 0, kAppearanceExcel, kColorOffice2003, false, kDesigned, kPositionTop,
       kBlueTabs},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.version << " theme " << c.theme << " office " << c.office
                                    << " position " << c.position);
    Bar bar;
    bar.host.excel->SetVersion(c.version);
    bar.Open({"Book1.xlsx"});
    Shared().nTabTheme = c.theme;
    Shared().nOfficeTheme = c.office;
    Shared().nTabPosition = c.position;
    ASSERT_TRUE(bar.form.Load());
    const auto& paint = bar.Strip().Paint();
    EXPECT_EQ(paint.appearance, c.appearance);
    EXPECT_EQ(paint.color, c.color);
    EXPECT_EQ(paint.disable_luna_colors, c.luna);
    EXPECT_DOUBLE_EQ(bar.Strip().LeftTwips(), c.left);
    EXPECT_EQ(paint.position, c.placed);
    if (c.colors) {
      EXPECT_EQ(paint.header_face_dark, c.colors->header_face_dark);
      EXPECT_EQ(paint.header_face_light, c.colors->header_face_light);
      EXPECT_EQ(paint.button_normal, c.colors->button_normal);
    } else {
      EXPECT_FALSE(paint.header_face_dark || paint.header_face_light || paint.button_normal);
    }
    EXPECT_EQ(bar.Tabs(), "tabs: [Book1.xlsx]");

    // The strip ends at the form's right edge, wherever it starts, converted at the control's
    // own resolution: 15 twips a pixel at 96 DPI, 10 at 144.
    EXPECT_TRUE(bar.Resize(600));
    EXPECT_DOUBLE_EQ(bar.Strip().WidthTwips(), 600 * 15 - c.left);
    bar.Strip().SetPixelsPerInch(144);
    EXPECT_TRUE(bar.Resize(600));
    EXPECT_DOUBLE_EQ(bar.Strip().WidthTwips(), 600 * 10 - c.left);
    bar.Strip().SetPixelsPerInch(96);

    if (c.colors) {
      const auto& log = bar.calls.Log();
      const auto at = [&](const char* call) {
        return std::find(log.begin(), log.end(), call) - log.begin();
      };
      EXPECT_LT(at("ColorSet.SetHeaderFaceDark"), at("ColorSet.SetHeaderFaceLight"));
      EXPECT_LT(at("ColorSet.SetHeaderFaceLight"), at("ColorSet.SetButtonNormal"));
      EXPECT_LT(at("ColorSet.SetButtonNormal"), std::ssize(log));
    } else {
      for (const char* call : {"ColorSet.SetHeaderFaceDark", "ColorSet.SetHeaderFaceLight",
                               "ColorSet.SetButtonNormal"}) {
        EXPECT_EQ(bar.calls.CountOf(call), 0u) << call;
      }
    }
  }
}

TEST(FormLoad, AFailingStepEndsTheLoadAndIsReported) {
  {
    Bar bar;
    bar.Open({"Book1.xlsx"});
    Shared().nTabTheme = 1;
    bar.calls.FailCall("Application.Version", 1);
    EXPECT_FALSE(bar.form.Load());
    EXPECT_EQ(bar.calls.CountOf("TabControl.RemoveAll"), 0u);
    EXPECT_EQ(bar.Tabs(), "tabs: (none)");
    EXPECT_EQ(bar.Strip().Paint().appearance, host::kAppearanceExcel);
    // The form stays loaded with its designed look; a second load does not run the steps again.
    EXPECT_TRUE(bar.form.IsLoaded());
    bar.calls.ClearLog();
    EXPECT_TRUE(bar.form.Load());
    EXPECT_EQ(bar.calls.Count(), 0u);
  }
  {
    // A colour refused halfway: the colours after it and the position are not set.
    Bar bar;
    bar.Open({"Book1.xlsx"});
    Shared().nOfficeTheme = 2;
    Shared().nTabPosition = 1;
    bar.calls.FailCall("ColorSet.SetHeaderFaceLight", 1);
    EXPECT_FALSE(bar.form.Load());
    const auto& paint = bar.Strip().Paint();
    EXPECT_TRUE(paint.header_face_dark);
    EXPECT_FALSE(paint.header_face_light);
    EXPECT_FALSE(paint.button_normal);
    EXPECT_EQ(paint.position, host::kPositionTop);
    EXPECT_EQ(bar.Tabs(), "tabs: (none)");

    bar.calls.FailCall("TabControl.Left", 1);
    const double width = bar.Strip().WidthTwips();
    EXPECT_FALSE(bar.Resize(500));
    EXPECT_DOUBLE_EQ(bar.Strip().WidthTwips(), width);
  }
  {
    Bar bar;
    bar.host.excel->SetVersion("Excel");
    EXPECT_FALSE(bar.form.Load());
    EXPECT_EQ(bar.calls.CountOf("TabControl.RemoveAll"), 0u);
  }
  {
    // No tab strip to be had: the form still becomes the visible child of Excel's window, and
    // rebuilds and resizes find nothing to do.
    Bar bar;
    bar.Open({"Book1.xlsx"});
    const Hwnd excel =
        bar.host.windows.AddWindow("XLMAIN", "Excel", Hwnd{}, {0, 0, 800, 600}, true);
    bar.form.SetExcelHwnd(excel);
    bar.calls.FailCall("Controls.CreateTabBarControls", 1);
    EXPECT_FALSE(bar.form.Show());
    EXPECT_FALSE(bar.form.TabSeclect());
    EXPECT_EQ(bar.host.windows.State(bar.form.hWnd()).parent, excel);
    EXPECT_TRUE(bar.host.windows.IsWindowVisible(bar.form.hWnd()));
    bar.form.UpdateMenu({});
    EXPECT_FALSE(bar.form.Form_Resize());
    bar.form.Unload();
  }
}

// Host calls of one rebuild with `count` open workbooks, the last of them active.
std::size_t RebuildCalls(int count) {
  Bar bar;
  bar.calls.SetLogging(false);
  for (int i = 0; i < count; ++i) {
    EXPECT_FALSE(bar.host.excel->Open("Book" + std::to_string(i) + ".xlsx", "C:\\Data"));
  }
  EXPECT_TRUE(bar.form.Load());
  bar.calls.ClearLog();
  bar.form.UpdateMenu("");
  EXPECT_EQ(bar.Strip().Count(), count);
  EXPECT_EQ(bar.Strip().SelectedIndex(), count - 1);
  return bar.calls.Count();
}

TEST(UpdateMenu, HostCallsGrowLinearlyWithTheWorkbooks) {
  const std::size_t ten = RebuildCalls(10);
  const std::size_t hundred = RebuildCalls(100);
  const std::size_t thousand = RebuildCalls(1000);
  // A look-up by name per workbook would cost Excel a search each; the calls per workbook
  // stay the same whatever the count.
  EXPECT_LT(static_cast<double>(thousand) / static_cast<double>(hundred), 11.0);
  EXPECT_LT(static_cast<double>(hundred) / static_cast<double>(ten), 11.0);
  EXPECT_EQ((thousand - hundred) % 900, 0u) << thousand << " " << hundred;
  EXPECT_EQ((thousand - hundred) / 900, (hundred - ten) / 90);

  // Nor is any workbook looked up by name, not even one whose name has no extension.
  Bar bar;
  bar.Open({"A.xlsx", "README"});
  bar.Load();
  Shared().bUpdatingTabs = true;
  bar.form.UpdateMenu("");
  EXPECT_EQ(bar.Tabs(), "tabs: A.xlsx | [README]");
  EXPECT_EQ(bar.Strip().State(1).image, 11);
  EXPECT_EQ(bar.calls.CountOf("Workbooks.Item"), 0u);
}

}  // namespace
}  // namespace vestrano
