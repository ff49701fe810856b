// The ribbon's callbacks and the two dialogs on the fakes, for what the scenarios cannot see:
// which options and previews the dialog shows, that option clicks store nothing, that the link
// opens only on a click, that OK applies the style and the Office scheme's colours to the strip
// (and still stores and closes without one), that a failed step ends OK with the dialog open, and
// that callbacks made outside a connection change nothing.
#include <gtest/gtest.h>

#include <string>

#include "addin/ribbon.h"
#include "core/office_colors.h"
#include "core/shared_state.h"
#include "dialogs/maker.h"
#include "menus/workbook_commands.h"
#include "tests/connected_excel.h"

namespace vestrano {
namespace {

using host::DialogControl;

struct Dialogs : ConnectedExcel {
  explicit Dialogs(const char* version = "12.0") : ConnectedExcel(version) {
    EXPECT_FALSE(host.excel->Open("Book1.xlsx", "C:\\Data"));
  }
  fake::FakeDialogs& Fake() { return host.dialogs; }
  const fake::FakeDialogState& Open() {
    static const fake::FakeDialogState kNone{};
    return Fake().Open() ? *Fake().Open() : kNone;
  }
  bool Checked(DialogControl control) { return Open().checked.at(control); }
  int Picture(DialogControl control) { return Open().picture.at(control); }
  void Store(std::string_view name, std::int32_t value) {
    SetRegValue(host::kHkeyCurrentUser, kVestranoKey, name, host::kRegDword, value);
  }
  std::optional<std::int32_t> Stored(std::string_view name) {
    std::int32_t value = -12345;
    GetRegValue(host::kHkeyCurrentUser, kVestranoKey, name, value);
    return value == -12345 ? std::nullopt : std::optional(value);
  }
  const fake::FakePaintState& Paint() { return host.TabStrip()->Paint(); }
};

TEST(OptionDialog, OpensOnTheStoredChoicesWithTheirPreviews) {
  struct Case {
    std::int32_t theme;
    std::optional<DialogControl> checked;
    int picture;
  };
  for (const Case& c : {Case{0, DialogControl::Option1, host::kPictureStyle0},
                        Case{1, DialogControl::Option2, host::kPictureStyle1},
                        Case{2, DialogControl::Option5, host::kPictureStyle2},
                        Case{3, std::nullopt, 0}, Case{-1, std::nullopt, 0}}) {
    Dialogs excel;
    excel.Store(kThemeValue, c.theme);
    excel.Store(kPositionValue, c.theme == 1 ? 1 : 0);
    excel.Connect();
    ASSERT_TRUE(excel.host.addin->OptionMenu());
    for (auto option : {DialogControl::Option1, DialogControl::Option2, DialogControl::Option5}) {
      EXPECT_EQ(excel.Checked(option), option == c.checked) << c.theme;
    }
    EXPECT_EQ(excel.Picture(DialogControl::Picture1), c.picture) << c.theme;
    EXPECT_EQ(excel.Checked(DialogControl::Option4), c.theme == 1);
    EXPECT_EQ(excel.Checked(DialogControl::Option3), c.theme != 1);
    EXPECT_EQ(excel.Picture(DialogControl::Picture3),
              c.theme == 1 ? host::kPictureBelow : host::kPictureAbove);
    EXPECT_TRUE(excel.Checked(DialogControl::Check1));
    EXPECT_EQ(excel.Open().owner, excel.Main());
    EXPECT_TRUE(excel.Open().enabled.at(DialogControl::Option1));
  }

  // An Excel before 2003: the styles are off and show the old look's picture; the taskbar box
  // follows Excel.
  Dialogs old("10.0");
  old.Connect();
  old.host.excel->SetShowWindowsInTaskbar(false);
  ASSERT_TRUE(old.host.addin->OptionMenu());
  EXPECT_EQ(old.Picture(DialogControl::Picture1), host::kPictureOldExcel);
  for (auto option : {DialogControl::Option1, DialogControl::Option2, DialogControl::Option5}) {
    EXPECT_FALSE(old.Open().enabled.at(option));
  }
  EXPECT_FALSE(old.Checked(DialogControl::Check1));
}

TEST(OptionDialog, ClicksOnlyPreviewAndOkStoresAppliesAndReopensOnTheChoice) {
  Dialogs excel;
  excel.Connect();
  ASSERT_TRUE(excel.host.addin->OptionMenu());
  excel.host.calls.ClearLog();
  EXPECT_FALSE(excel.Fake().Click(DialogControl::Option5));
  EXPECT_EQ(excel.Picture(DialogControl::Picture1), host::kPictureStyle2);
  EXPECT_FALSE(excel.Fake().Click(DialogControl::Option4));
  EXPECT_EQ(excel.Picture(DialogControl::Picture3), host::kPictureBelow);
  EXPECT_FALSE(excel.Fake().Click(DialogControl::Option3));
  EXPECT_EQ(excel.Picture(DialogControl::Picture3), host::kPictureAbove);
  EXPECT_FALSE(excel.Fake().Click(DialogControl::Option4));
  EXPECT_FALSE(excel.Fake().Click(DialogControl::Check1));
  EXPECT_EQ(excel.Calls("Registry.SetValue"), 0u);
  EXPECT_EQ(excel.Calls("Application.SetShowWindowsInTaskbar"), 0u);
  EXPECT_EQ(excel.Calls("Dialogs.OpenWebPage"), 0u);

  EXPECT_FALSE(excel.Fake().Click(DialogControl::cmdOK));
  EXPECT_FALSE(excel.Fake().Open());
  EXPECT_EQ(excel.Stored(kThemeValue), 2);
  EXPECT_EQ(excel.Stored(kPositionValue), 1);
  EXPECT_EQ(Shared().nTabTheme, 2);
  EXPECT_EQ(Shared().nTabPosition, 1);
  EXPECT_FALSE(excel.host.excel->WindowsInTaskbar());
  EXPECT_EQ(excel.Paint().appearance, host::kAppearanceOffice2003);
  EXPECT_EQ(excel.Paint().color, host::kColorOffice2003);
  EXPECT_EQ(excel.Paint().position, host::kPositionBottom);
  EXPECT_EQ(excel.host.TabStrip()->LeftTwips(), -90);
  EXPECT_EQ(excel.Calls("Dialogs.OpenWebPage"), 0u);

  // Opened again, from the menu this time: the same dialog, on the stored choice.
  RunWorkbookCommand("Option");
  ASSERT_TRUE(excel.Fake().Open());
  EXPECT_EQ(excel.Open().kind, host::DialogKind::kOptions);
  EXPECT_EQ(excel.Open().owner, excel.Main());
  EXPECT_TRUE(excel.Checked(DialogControl::Option5));
  EXPECT_TRUE(excel.Checked(DialogControl::Option4));
  EXPECT_FALSE(excel.Checked(DialogControl::Check1));
}

TEST(OptionDialog, OkBringsTheTabsToTheCurrentOfficeScheme) {
  Dialogs excel;
  excel.SetOfficeTheme(1);
  excel.Connect();
  ASSERT_EQ(excel.Paint().button_normal, kBlueTabs.button_normal);
  // While Excel's covering window is up, paints hide the bar and leave its colours alone, so only
  // OK can bring a scheme changed meanwhile to the tabs.
  excel.host.windows.AddWindow("EXCELB", "", excel.Main(), Rect{0, 0, 1024, 768}, true);
  excel.SetOfficeTheme(3);
  ASSERT_TRUE(excel.host.addin->OptionMenu());
  EXPECT_FALSE(excel.Fake().Click(DialogControl::cmdOK));
  EXPECT_FALSE(excel.BarShown());
  EXPECT_EQ(excel.Paint().header_face_light, kBlackTabs.header_face_light);
  EXPECT_EQ(excel.Paint().button_normal, kBlackTabs.button_normal);
}

TEST(OptionDialog, TheLinkOpensOnlyWhenClicked) {
  Dialogs excel;
  excel.Connect();
  for (bool about : {false, true}) {
    const std::size_t before = excel.Fake().OpenedPages().size();
    ASSERT_TRUE(about ? excel.host.addin->AboutMenu() : excel.host.addin->OptionMenu());
    EXPECT_EQ(excel.Fake().OpenedPages().size(), before);
    EXPECT_FALSE(excel.Fake().Click(DialogControl::Labelblog));
    ASSERT_EQ(excel.Fake().OpenedPages().size(), before + 1);
    EXPECT_EQ(excel.Fake().OpenedPages().back(), kMakerWebAddress);
    EXPECT_TRUE(excel.Fake().Open());
    EXPECT_FALSE(excel.Fake().Click(DialogControl::cmdOK));
    EXPECT_FALSE(excel.Fake().Open());
    EXPECT_EQ(excel.Fake().OpenedPages().size(), before + 1);
    // Nothing is open to click any more.
    EXPECT_TRUE(excel.Fake().Click(DialogControl::Labelblog));
    EXPECT_EQ(excel.Fake().OpenedPages().size(), before + 1);
  }
}

TEST(OptionDialog, OkWithoutATabStripStillStoresAndCloses) {
  Dialogs excel;
  excel.host.calls.FailCall("Controls.CreateTabBarControls");
  excel.Connect();
  ASSERT_FALSE(excel.host.TabStrip());
  ASSERT_TRUE(excel.host.addin->OptionMenu());
  EXPECT_FALSE(excel.Fake().Click(DialogControl::Option2));
  EXPECT_FALSE(excel.Fake().Click(DialogControl::cmdOK));
  EXPECT_FALSE(excel.Fake().Open());
  EXPECT_EQ(excel.Stored(kThemeValue), 1);
  EXPECT_EQ(excel.Stored(kPositionValue), 0);
}

TEST(OptionDialog, AFailedStepEndsOkWithTheDialogOpen) {
  Dialogs excel;
  excel.Connect();
  ASSERT_TRUE(excel.host.addin->OptionMenu());
  EXPECT_FALSE(excel.Fake().Click(DialogControl::Option2));
  excel.host.calls.FailCall("Application.SetShowWindowsInTaskbar", 1);
  EXPECT_FALSE(excel.Fake().Click(DialogControl::cmdOK));
  // Stored up to the failed step; the dialog stays for another try or the close box.
  EXPECT_TRUE(excel.Fake().Open());
  EXPECT_EQ(excel.Stored(kThemeValue), 1);
  EXPECT_FALSE(excel.Fake().Click(DialogControl::cmdOK));
  EXPECT_FALSE(excel.Fake().Open());

  // A dialog whose load fails does not open.
  excel.host.calls.FailCall("Application.ShowWindowsInTaskbar", 1);
  EXPECT_FALSE(excel.host.addin->OptionMenu());
  EXPECT_FALSE(excel.Fake().Open());
}

TEST(Ribbon, MarkupImageAndCallbacks) {
  for (std::optional<double> version :
       {std::optional<double>(), std::optional(12.0), std::optional(13.0), std::optional(14.0)}) {
    const std::string xml = RibbonXmlFor(version);
    EXPECT_EQ(xml.find("> "), std::string::npos);
    EXPECT_EQ(xml.find(" <"), std::string::npos);
    EXPECT_EQ(xml.find('\n'), std::string::npos);
    const bool office_menu = !version || *version < 14;
    EXPECT_EQ(xml.find("2006/01/customui") != std::string::npos, office_menu);
    EXPECT_EQ(xml.find("<officeMenu>") != std::string::npos, office_menu);
    for (const char* id :
         {"id=\"Vestranovisible\"", "id=\"VestranoOpTion\"", "id=\"VestranoAbout\"",
          "onAction=\"OptionMenu\"", "getPressed=\"getPressed\"", "loadImage=\"loadImage\""}) {
      EXPECT_NE(xml.find(id), std::string::npos) << id;
    }
  }
  EXPECT_TRUE(IsRibbonImage("get101"));
  EXPECT_FALSE(IsRibbonImage("GET101"));
  EXPECT_FALSE(IsRibbonImage("get1010"));
  EXPECT_FALSE(IsRibbonImage(""));

  Dialogs excel;
  Vestranov3 unconnected;
  // Before any connection, or after one: nothing is stored, attached or opened.
  EXPECT_TRUE(unconnected.OnAction(false));
  EXPECT_FALSE(unconnected.OptionMenu());
  EXPECT_FALSE(unconnected.AboutMenu());
  EXPECT_EQ(excel.Calls("Registry.SetValue"), 0u);
  excel.Connect();
  excel.host.addin->AddinInstance_OnDisconnection();
  excel.host.calls.ClearLog();
  EXPECT_TRUE(excel.host.addin->OnAction(true));
  EXPECT_EQ(excel.Calls("Windows.SubclassWindow"), 0u);
  EXPECT_EQ(excel.Calls("Registry.SetValue"), 0u);
  EXPECT_FALSE(excel.host.addin->OptionMenu());
  EXPECT_FALSE(excel.Fake().Open());
}

// The strip is given back before the bar hides, so a bar that failed to hide is reported and
// leaves the workbooks their whole area; the next click hides it.
TEST(Ribbon, AFailedHideIsReportedWithTheStripGivenBack) {
  Dialogs excel;
  excel.Connect();
  excel.host.clock.Advance(300);
  ASSERT_TRUE(excel.StripReserved());
  excel.host.calls.FailCall("Windows.ShowWindow", 1);
  EXPECT_FALSE(excel.host.addin->OnAction(false));
  EXPECT_EQ(excel.Stored(kTabShowValue), 1);
  EXPECT_FALSE(excel.host.addin->GetPressed());
  EXPECT_FALSE(excel.StripReserved());
  EXPECT_TRUE(excel.host.addin->OnAction(false));
  EXPECT_FALSE(excel.StripReserved());
}

}  // namespace
}  // namespace vestrano
