// The add-in's shared state and the tab-list helpers that the event handlers, the workbook
// commands and the timers share. All of it lives for the whole process and is touched only on
// Excel's user-interface thread.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "host/excel.h"
#include "host/types.h"

namespace vestrano {

class Form_Vestrano;

struct SharedState {
  host::ApplicationPtr oExcelApp;
  std::shared_ptr<Form_Vestrano> oTabForm;
  Hwnd hExcelWnd;  // Excel's main window
  Hwnd hDeskWnd;   // Excel's workbook area, found when the strip is attached
  // Settings, read from the registry at connection. 32-bit, as they are stored.
  std::int32_t bTabShow = 0;      // 0 = bar shown, anything else = hidden
  std::int32_t nTabPosition = 0;  // 0 = strip above the workbooks, else below
  std::int32_t nTabTheme = 0;     // tab style 0, 1 or 2
  std::int32_t nOfficeTheme = 0;  // Office 2007 scheme: 1 blue, 2 silver, 3 black
  // Re-entry guards on the one UI thread.
  bool bUpdatingTabs = false;    // an event handler is rebuilding the tabs
  bool bBatchClose = false;      // a command is walking several workbooks
  bool bMenuActivating = false;  // a switch through Excel's Window menu is pending
  // One-shot flags set at connection.
  bool bRestoreFocus = false;  // give the focus back to Excel once the bar is first placed
  bool bFirstOpen = false;     // the first workbook opened after connection defers its refresh
  // The one pending watch timer; 0 when none.
  std::uintptr_t nTimerId = 0;
  // Focus as the hook last saw it.
  std::string sFocusClass;  // class of the window that last got the keyboard focus
  Hwnd hLastEditBox;        // the last edit box that got it
};

SharedState& Shared();
// Back to the state of a freshly loaded module, for tests and for the scenario runner.
void ResetShared();

// The unsaved mark that a tab caption carries after the workbook name.
inline constexpr std::string_view kModifiedMark = " *";

// True when the caption ends in the unsaved mark.
bool HasModifiedMark(std::string_view caption);

// Number of open workbooks that have at least one visible window.
std::int32_t CountVisibleWorkbooks();
// The same count, but it stops at `limit`: callers that only compare it with 1 or 2 (a paint,
// an event) need not ask Excel about every workbook's windows.
std::int32_t CountVisibleWorkbooks(std::int32_t limit);
// True when the workbook has at least one visible window.
bool WorkbookHasVisibleWindow(host::IWorkbook& workbook);
// True when the workbook of that name is open and has a visible window.
bool IsWorkbookVisible(std::string_view name);
// The caption without its unsaved mark; any other caption unchanged.
std::string StripModifiedMark(std::string_view caption);
// The icon of the workbook of that name (an index into the tab bar's image list).
std::int32_t GetTabImageIndex(std::string_view name);
// The same choice when the caller already knows the workbook's full name, which spares Excel a
// look-up by name for workbooks without an extension.
std::int32_t TabImageIndexFor(std::string_view name, std::string_view full_name);

// Excel's Version text as a number: above 11 is Excel 2007 and later. Empty when the version
// cannot be read or does not start with a number.
std::optional<double> ReadHostVersion();
std::optional<double> ParseHostVersion(std::string_view text);

}  // namespace vestrano
