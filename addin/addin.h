// The add-in class that Excel creates and connects. It keeps Excel, reads the settings, builds
// the workbook menus, creates the tab bar, attaches the workbook-area strip and the focus hook,
// and keeps the tab row in step with Excel through Excel's application events.
#pragma once

#include <memory>
#include <string>

#include "host/excel.h"
#include "menus/workbook_menus.h"

namespace vestrano {

// Connect modes that Excel passes: at its start-up, and for an external connection, which
// connects nothing.
inline constexpr int kConnectStartup = 1;
inline constexpr int kConnectExternal = 2;

class Vestranov3 final : private host::IAppEvents {
 public:
  Vestranov3() = default;
  // An add-in released while still connected disconnects first, so that no subclass, hook or
  // timer is left pointing into a module that may be unloaded.
  ~Vestranov3() override;
  Vestranov3(const Vestranov3&) = delete;
  Vestranov3& operator=(const Vestranov3&) = delete;

  void AddinInstance_OnConnection(const host::ApplicationPtr& application, int connect_mode);
  void AddinInstance_OnDisconnection();
  bool IsConnected() const { return connected_; }

  // --- The ribbon's callbacks (ribbon.cpp). Each returns false when a step failed. ---
  // The customUI markup for the connected Excel's version.
  std::string GetRibbonXML() const;
  // The check box is checked while the bar is shown.
  bool GetPressed() const;
  // The check box was clicked: shows or hides the bar, and keeps the choice in "TabShow".
  bool OnAction(bool pressed);
  // The two buttons: the options and the about dialog, modal over Excel.
  bool OptionMenu();
  bool AboutMenu();

 private:
  void ReadSettings();

  // Excel's application events.
  void SheetActivate(const host::SheetPtr& sheet) override;
  void SheetSelectionChange(const host::SheetPtr& sheet) override;
  void NewWorkbook(const host::WorkbookPtr& workbook) override;
  void WindowDeactivate(const host::WorkbookPtr& workbook, const host::WindowPtr& window) override;
  void WorkbookActivate(const host::WorkbookPtr& workbook) override;
  void WorkbookBeforeClose(const host::WorkbookPtr& workbook, bool& cancel) override;
  void WorkbookBeforeSave(const host::WorkbookPtr& workbook, bool save_as_ui,
                          bool& cancel) override;
  void WorkbookOpen(const host::WorkbookPtr& workbook) override;

  void oAppExcel_SheetActivate(const host::SheetPtr& Sh);
  void oAppExcel_SheetSelectionChange(const host::SheetPtr& Sh);
  void oAppExcel_NewWorkbook(const host::WorkbookPtr& Wb);
  void oAppExcel_WindowDeactivate();
  void oAppExcel_WorkbookActivate(const host::WorkbookPtr& Wb);
  void oAppExcel_WorkbookBeforeClose();
  void oAppExcel_WorkbookBeforeSave(const host::WorkbookPtr& Wb, bool SaveAsUI);
  void oAppExcel_WorkbookOpen(const host::WorkbookPtr& Wb);

  // The unsaved mark of the selected tab follows the sheet's workbook.
  void UpdateModifiedMark(const host::SheetPtr& sheet);
  // Rebuilds the row selecting `workbook`, and has the strip reserved when it may just appear.
  void RefreshTabs(const host::WorkbookPtr& workbook);

  // The popups, the Tools-menu button and the connected buttons that hear them.
  WorkbookMenus menus_;
  // The event connection to Excel; resetting it disconnects the events.
  std::unique_ptr<host::IEventConnection> oAppExcel;
  bool connected_ = false;
};

}  // namespace vestrano
