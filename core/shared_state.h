// The module-level state that every subsystem shares: Excel, the tab bar, the settings read at
// connection, the re-entry guards and one-shot flags, the pending watch and what the focus hook
// saw. All of it lives for the whole process and is touched only on Excel's user-interface thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/tab_bar.h"
#include "host/excel.h"
#include "host/types.h"

namespace vestrano {

struct SharedState {
  host::ApplicationPtr oExcelApp;
  std::shared_ptr<ITabBar> oTabForm;
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
  // Caption pattern of the window to pick in Excel's window-list dialog.
  std::string sPendingWindow;
};

SharedState& Shared();
// Back to the state of a freshly loaded module, for tests and for the scenario runner.
void ResetShared();

// Sets a re-entry guard for as long as it lives and clears it however the scope is left: a guard
// left set would stop every later click from switching workbooks.
class ScopedFlag {
 public:
  explicit ScopedFlag(bool& flag) : flag_(flag) { flag_ = true; }
  ~ScopedFlag() { flag_ = false; }
  ScopedFlag(const ScopedFlag&) = delete;
  ScopedFlag& operator=(const ScopedFlag&) = delete;

 private:
  bool& flag_;
};

}  // namespace vestrano
