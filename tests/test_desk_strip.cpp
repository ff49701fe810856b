// The workbook-area strip, the watches and the hook, through what the fake window system
// records: the strip's colour per Excel version and Office scheme, the bar placed even when the
// fill fails, the bar hidden under Excel's covering window, the Office colours
// applied only on whole-frame paints, the focus given back once, the drawing lock given back on
// every way out (and another's left alone), attach and detach that happen once, the hook
// installed even when Excel will not tell its instance handle, and nothing left behind (hook,
// timer, subclass) when the add-in goes.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "core/office_colors.h"
#include "core/shared_state.h"
#include "tests/connected_excel.h"
#include "winhook/desk_strip.h"
#include "winhook/focus_hook.h"
#include "winhook/watch_timers.h"

namespace vestrano {
namespace {

using Excel = ConnectedExcel;

TEST(DeskStrip, StripColourFollowsVersionAndOfficeScheme) {
  EXPECT_EQ(StripColor(11.0, 0), kStripBlue);
  EXPECT_EQ(StripColor(10.0, 3), kStripBlue);
  EXPECT_EQ(StripColor(12.0, 1), kStripBlue);
  EXPECT_EQ(StripColor(12.0, 2), kStripSilver);
  EXPECT_EQ(StripColor(14.0, 3), kStripBlack);
  EXPECT_EQ(StripColor(12.0, 0), std::nullopt);
  EXPECT_EQ(StripColor(12.0, 4), std::nullopt);
  EXPECT_EQ(StripColor(std::nullopt, 1), std::nullopt);

  Excel excel;
  excel.SetOfficeTheme(2);
  ASSERT_FALSE(excel.host.excel->Open("Book1.xlsx", "C:\\Data"));
  excel.Connect();
  EXPECT_EQ(excel.StripFill(), kStripSilver);
  EXPECT_EQ(excel.host.windows.LastFill(excel.Desk())->rect, (Rect{0, 0, 1024, kStripHeight}));
  // The scheme is read again at every paint, so a change shows at the next one.
  excel.SetOfficeTheme(3);
  RequestDeskFrameChange();
  EXPECT_EQ(excel.StripFill(), kStripBlack);
  // No scheme: the strip is left unfilled.
  excel.SetOfficeTheme(0);
  const auto fills = excel.host.windows.FillCount(excel.Desk());
  RequestDeskFrameChange();
  EXPECT_EQ(excel.host.windows.FillCount(excel.Desk()), fills);
  EXPECT_EQ(excel.Calls("Windows.FillWindowRect"), fills);
}

TEST(DeskStrip, AFailedFillStillPlacesTheBar) {
  Excel excel;
  excel.SetOfficeTheme(1);
  ASSERT_FALSE(excel.host.excel->Open("Book1.xlsx", "C:\\Data"));
  excel.Connect();
  excel.host.calls.FailCall("Windows.FillWindowRect", 1);
  RequestDeskFrameChange();
  EXPECT_TRUE(excel.BarShown());
  RequestDeskFrameChange();
  EXPECT_EQ(excel.StripFill(), kStripBlue);
}

TEST(DeskStrip, BarHidesUnderExcelsCoveringWindowAndComesBack) {
  Excel excel;
  excel.SetOfficeTheme(1);
  ASSERT_FALSE(excel.host.excel->Open("Book1.xlsx", "C:\\Data"));
  excel.Connect();
  ASSERT_TRUE(excel.BarShown());
  const Hwnd covering =
      excel.host.windows.AddWindow("EXCELB", "", excel.Main(), Rect{0, 0, 1024, 768}, true);
  RequestDeskFrameChange();
  EXPECT_FALSE(excel.BarShown());
  EXPECT_TRUE(excel.StripFill().has_value()) << "the strip is still painted";
  excel.host.windows.Destroy(covering);
  RequestDeskFrameChange();
  EXPECT_TRUE(excel.BarShown());
}

TEST(DeskStrip, OfficeColoursOnlyOnWholeFramePaintsOfAPlacedBar) {
  Excel excel;
  excel.SetOfficeTheme(1);
  ASSERT_FALSE(excel.host.excel->Open("Book1.xlsx", "C:\\Data"));
  excel.Connect();
  const auto applied = [&] { return excel.Calls("ColorSet.SetHeaderFaceDark"); };
  const auto repaints = [&] { return excel.host.TabStrip()->Refreshes(); };
  const auto before = applied();
  const auto repainted = repaints();
  excel.host.windows.Send(excel.Desk(), host::kWmNcPaint, 1, 0);
  EXPECT_EQ(applied(), before + 1);
  // New colours show at once: the bar repaints.
  EXPECT_EQ(repaints(), repainted + 1);
  // A paint of part of the frame (wParam is then a region) leaves the colours alone.
  excel.host.windows.Send(excel.Desk(), host::kWmNcPaint, 0x1234, 0);
  EXPECT_EQ(applied(), before + 1);
  // On Excel 2003 the Office 2007 colours never apply.
  Excel old("11.0");
  old.SetOfficeTheme(1);
  ASSERT_FALSE(old.host.excel->Open("Book1.xls", "C:\\Data"));
  old.Connect();
  old.host.windows.Send(old.Desk(), host::kWmNcPaint, 1, 0);
  EXPECT_EQ(old.Calls("ColorSet.SetHeaderFaceDark"), 0u);
}

TEST(DeskStrip, FocusGoesBackToExcelOnceAfterConnection) {
  Excel excel;
  ASSERT_FALSE(excel.host.excel->Open("Book1.xlsx", "C:\\Data"));
  excel.Connect();
  EXPECT_EQ(excel.host.windows.FocusWindow(), excel.Main());
  EXPECT_FALSE(Shared().bRestoreFocus);
  // The lock that kept the first placement from flashing is gone, or Excel would stop painting.
  EXPECT_EQ(excel.host.windows.LockedWindow(), Hwnd{});
  ASSERT_FALSE(excel.host.excel->FocusClass("EXCEL7"));
  RequestDeskFrameChange();
  EXPECT_NE(excel.host.windows.FocusWindow(), excel.Main());
}

TEST(DeskStrip, TheFirstPlacementGivesBackOnlyItsOwnLockWhateverHappens) {
  {
    // Loading the bar fails with an exception between the lock and its release.
    Excel excel;
    ASSERT_FALSE(excel.host.excel->Open("Book1.xlsx", "C:\\Data"));
    excel.host.diagnostics.ExpectFailures();
    excel.host.calls.ThrowOnCall("Windows.SetParent");
    excel.Connect();
    ASSERT_EQ(excel.host.diagnostics.Failures().size(), 1u);
    EXPECT_EQ(excel.host.diagnostics.Failures()[0].where, "DeskWindowProc");
    EXPECT_EQ(excel.host.windows.LockedWindow(), Hwnd{});
    RequestDeskFrameChange();
    EXPECT_TRUE(excel.BarShown());
  }
  // Another window holds the one lock there is: it keeps it.
  Excel excel;
  ASSERT_FALSE(excel.host.excel->Open("Book1.xlsx", "C:\\Data"));
  const Hwnd other = excel.host.windows.AddWindow("Other", "", Hwnd{}, Rect{0, 0, 100, 100}, true);
  ASSERT_TRUE(excel.host.windows.LockWindowUpdate(other));
  excel.Connect();
  EXPECT_TRUE(excel.BarShown());
  EXPECT_EQ(excel.host.windows.LockedWindow(), other);
}

TEST(DeskStrip, AttachAndDetachHappenOnceAndTheFrameFollows) {
  Excel excel;
  ASSERT_FALSE(excel.host.excel->Open("Book1.xlsx", "C:\\Data"));
  excel.Connect();
  SubclassDesk();
  EXPECT_EQ(excel.Calls("Windows.SubclassWindow"), 1u);
  const Rect window = excel.host.windows.RectInParent(excel.Desk());
  EXPECT_EQ(excel.host.windows.ClientRectInParent(excel.Desk()).top, window.top + kStripHeight);

  // A frame calculation without the parameters (wParam 0) is not the strip's business.
  Rect plain = window;
  excel.host.windows.Send(excel.Desk(), host::kWmNcCalcSize, 0,
                          reinterpret_cast<std::intptr_t>(&plain));
  EXPECT_EQ(plain, window);

  UnsubclassDesk();
  const auto frame_changes = excel.Calls("Windows.SetWindowPos");
  UnsubclassDesk();
  EXPECT_EQ(excel.Calls("Windows.UnsubclassWindow"), 1u);
  EXPECT_EQ(excel.Calls("Windows.SetWindowPos"), frame_changes);
  EXPECT_EQ(excel.host.windows.ClientRectInParent(excel.Desk()), window);
}

TEST(DeskStrip, FormulaBarRuleNeedsMoreThanThreeRowsOfOverlap) {
  Excel excel("11.0");
  ASSERT_FALSE(excel.host.excel->Open("Book1.xls", "C:\\Data"));
  excel.Connect();
  const auto bar_width = [&] {
    return excel.host.RectInMainClient(excel.host.BarWindow()).Width();
  };
  EXPECT_EQ(bar_width(), 300 - kFormulaBarGap);
  const Hwnd formula_bar = excel.host.windows.Find(excel.Main(), "EXCEL<");
  excel.host.windows.SetWindowRectDirect(formula_bar, Rect{300, 50, 1024, 83});
  RequestDeskFrameChange();
  EXPECT_EQ(bar_width(), 1020);
}

TEST(Connection, HookRecordsFocusAndGoesAwayWithTheAddin) {
  Excel excel;
  ASSERT_FALSE(excel.host.excel->Open("Book1.xlsx", "C:\\Data"));
  excel.Connect();
  InstallCbtHook();
  EXPECT_EQ(excel.host.hooks.InstalledHooks(), 1u);
  ASSERT_FALSE(excel.host.excel->FocusClass("EDTBX"));
  EXPECT_EQ(Shared().sFocusClass, "EDTBX");
  EXPECT_EQ(Shared().hLastEditBox, excel.host.windows.FocusWindow());
  ASSERT_FALSE(excel.host.excel->FocusClass("EXCEL7"));
  EXPECT_EQ(Shared().sFocusClass, "EXCEL7");

  excel.host.addin->AddinInstance_OnDisconnection();
  EXPECT_EQ(excel.host.hooks.InstalledHooks(), 0u);
  RemoveCbtHook();
  EXPECT_EQ(excel.Calls("Hooks.RemoveHook"), 1u);
}

TEST(Connection, HookInstalledWhenExcelWillNotTellItsInstance) {
  Excel excel;
  ASSERT_FALSE(excel.host.excel->Open("Book1.xlsx", "C:\\Data"));
  excel.host.calls.FailCall("Application.Hinstance");
  excel.Connect();
  EXPECT_EQ(excel.host.hooks.InstalledHooks(), 1u);
  ASSERT_FALSE(excel.host.excel->FocusClass("EDTBX"));
  EXPECT_EQ(Shared().sFocusClass, "EDTBX");
}

// A hook of another program, installed before the add-in's, that refuses every focus change.
std::intptr_t RefuseFocus(int code, std::uintptr_t, std::intptr_t) {
  return code == host::kHcbtSetFocus ? 1 : 0;
}

TEST(Connection, FocusHookPassesOnWhatTheNextHookDecides) {
  Excel excel;
  ASSERT_FALSE(excel.host.excel->Open("Book1.xlsx", "C:\\Data"));
  const auto other =
      excel.host.hooks.InstallHook(host::kWhCbt, RefuseFocus, 0, excel.host.clock.ThreadId());
  ASSERT_NE(other, 0u);
  excel.Connect();
  ASSERT_EQ(excel.host.hooks.InstalledHooks(), 2u);
  const Hwnd before = excel.host.windows.FocusWindow();
  EXPECT_TRUE(excel.host.excel->FocusClass("EDTBX"));
  EXPECT_EQ(excel.host.windows.FocusWindow(), before);
  // The add-in still saw where the focus was going.
  EXPECT_EQ(Shared().sFocusClass, "EDTBX");
  EXPECT_TRUE(excel.host.hooks.RemoveHook(other));
  EXPECT_FALSE(excel.host.excel->FocusClass("EDTBX"));
}

TEST(Connection, NothingOutlivesTheAddin) {
  Excel excel;
  ASSERT_FALSE(excel.host.excel->Open("Book1.xlsx", "C:\\Data"));
  excel.Connect();
  // Closing the last workbook leaves a close watch waiting for Excel.
  excel.host.excel->SetReady(false);
  ASSERT_FALSE(excel.host.excel->Close("Book1.xlsx"));
  ASSERT_NE(Shared().nTimerId, 0u);
  // Released without a disconnection: it disconnects itself.
  excel.host.addin.reset();
  EXPECT_EQ(Shared().nTimerId, 0u);
  EXPECT_EQ(excel.host.clock.PendingTimers(), 0u);
  EXPECT_EQ(excel.host.hooks.InstalledHooks(), 0u);
  EXPECT_EQ(excel.host.windows.State(excel.Desk()).proc, fake::FakeWindowSystem::kDefaultProc);
  EXPECT_FALSE(excel.host.BarWindow());
  EXPECT_EQ(excel.host.excel->ConnectedSinks(), 0u);
  excel.host.excel->SetReady(true);
  excel.host.clock.Advance(500);
}

TEST(Connection, AWatchStartedWhileConnectingIsKeptAndStops) {
  // With two windows of one workbook, loading the bar activates one of them, and Excel's
  // WindowDeactivate starts the close watch in the middle of the connection.
  Excel excel;
  ASSERT_FALSE(excel.host.excel->Open("Book1.xlsx", "C:\\Data"));
  ASSERT_FALSE(excel.host.excel->NewWindow("Book1.xlsx"));
  excel.host.excel->SetReady(false);
  excel.Connect();
  ASSERT_EQ(excel.host.clock.PendingTimers(), 1u);
  EXPECT_NE(Shared().nTimerId, 0u);
  excel.host.addin->AddinInstance_OnDisconnection();
  EXPECT_EQ(excel.host.clock.PendingTimers(), 0u);

  // Connected again, the watch ends once Excel is ready, and for good.
  excel.host.excel->SetReady(true);
  excel.host.addin->AddinInstance_OnConnection(excel.host.excel, kConnectStartup);
  excel.host.clock.Advance(50);
  EXPECT_EQ(Shared().nTimerId, 0u);
  EXPECT_EQ(excel.host.clock.PendingTimers(), 0u);
}

TEST(Watches, OneAtATimeAndAFailedStartLeavesNone) {
  Excel excel;
  ASSERT_FALSE(excel.host.excel->Open("Book1.xlsx", "C:\\Data"));
  excel.Connect();
  excel.host.calls.FailCall("Timers.SetTimer", 1);
  StartWatch(CloseWatchProc);
  EXPECT_EQ(Shared().nTimerId, 0u);
  StartWatch(CloseWatchProc);
  StartWatch(SaveAsWatchProc);
  EXPECT_EQ(excel.host.clock.PendingTimers(), 1u);
  excel.host.clock.Advance(50);
  EXPECT_EQ(Shared().nTimerId, 0u);
  EXPECT_EQ(excel.host.clock.PendingTimers(), 0u);
}

TEST(Watches, EditWatchWaitsWhileACellIsEdited) {
  Excel excel;
  ASSERT_FALSE(excel.host.excel->Open("Book1.xlsx", "C:\\Data"));
  excel.Connect();
  Shared().bMenuActivating = true;
  ASSERT_FALSE(excel.host.excel->FocusClass("EXCEL6"));
  StartWatch(EditWatchProc);
  excel.host.clock.Advance(1000);
  EXPECT_NE(Shared().nTimerId, 0u);
  EXPECT_TRUE(Shared().bMenuActivating);
  ASSERT_FALSE(excel.host.excel->FocusClass("EXCEL7"));
  excel.host.clock.Advance(50);
  EXPECT_EQ(Shared().nTimerId, 0u);
  EXPECT_FALSE(Shared().bMenuActivating);
}

}  // namespace
}  // namespace vestrano
