// What the add-in needs of Excel's object model: Application, Workbooks, Workbook, Windows,
// Window, the sheet's parent, and the application events. Every member that reaches the host
// can fail; a failure comes back as an empty optional, a null pointer or `false`, never as an
// exception, so that callers can skip the step and go on as the add-in's error policy wants.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/command_bars.h"
#include "host/event_connection.h"
#include "host/types.h"

namespace vestrano::host {

class IWindow {
 public:
  virtual ~IWindow() = default;
  virtual std::optional<bool> Visible() = 0;
  // Brings the window to the front; Excel raises its activation events before this returns.
  virtual bool Activate() = 0;
};
using WindowPtr = std::shared_ptr<IWindow>;

class IWindows {
 public:
  virtual ~IWindows() = default;
  // 1-based, as in Excel.
  virtual WindowPtr Item(int index) = 0;
  // All windows in the collection's order; empty optional when the enumeration failed.
  virtual std::optional<std::vector<WindowPtr>> Enumerate() = 0;
};
using WindowsPtr = std::shared_ptr<IWindows>;

class IWorkbook {
 public:
  virtual ~IWorkbook() = default;
  virtual std::optional<std::string> Name() = 0;
  // Path and name; equal to Name for a workbook that was never saved.
  virtual std::optional<std::string> FullName() = 0;
  virtual std::optional<bool> Saved() = 0;
  virtual WindowsPtr Windows() = 0;
  // Makes the workbook the active one; Excel raises its activation events before this returns.
  virtual bool Activate() = 0;
};
using WorkbookPtr = std::shared_ptr<IWorkbook>;

class IWorkbooks {
 public:
  virtual ~IWorkbooks() = default;
  // The open workbook of that name, as Excel finds it (letter case ignored); null when none.
  virtual WorkbookPtr Item(std::string_view name) = 0;
  // All open workbooks in Excel's order; empty optional when the enumeration failed.
  virtual std::optional<std::vector<WorkbookPtr>> Enumerate() = 0;
};
using WorkbooksPtr = std::shared_ptr<IWorkbooks>;

class ISheet {
 public:
  virtual ~ISheet() = default;
  // The workbook the sheet belongs to.
  virtual WorkbookPtr Parent() = 0;
};
using SheetPtr = std::shared_ptr<ISheet>;

// The application events that the add-in handles. Excel raises them on its user-interface
// thread, before the change they announce is complete. Arguments may be null when the host
// could not supply them.
class IAppEvents {
 public:
  virtual ~IAppEvents() = default;
  virtual void SheetActivate(const SheetPtr& sheet) = 0;
  virtual void SheetSelectionChange(const SheetPtr& sheet) = 0;
  virtual void NewWorkbook(const WorkbookPtr& workbook) = 0;
  virtual void WindowDeactivate(const WorkbookPtr& workbook, const WindowPtr& window) = 0;
  virtual void WorkbookActivate(const WorkbookPtr& workbook) = 0;
  virtual void WorkbookBeforeClose(const WorkbookPtr& workbook, bool& cancel) = 0;
  virtual void WorkbookBeforeSave(const WorkbookPtr& workbook, bool save_as_ui, bool& cancel) = 0;
  virtual void WorkbookOpen(const WorkbookPtr& workbook) = 0;
};

class IApplication {
 public:
  virtual ~IApplication() = default;
  // Excel's main window.
  virtual std::optional<vestrano::Hwnd> Hwnd() = 0;
  // Excel's module instance handle.
  virtual std::optional<std::uintptr_t> Hinstance() = 0;
  // The version text, such as "12.0" (asked with locale 1033).
  virtual std::optional<std::string> Version() = 0;
  virtual std::optional<bool> Visible() = 0;
  // True when Excel is in no modal state and not in cell edit mode.
  virtual std::optional<bool> Ready() = 0;
  virtual std::optional<bool> DisplayFormulaBar() = 0;
  // Whether Excel shows each of its windows in the Windows taskbar, and setting it.
  virtual std::optional<bool> ShowWindowsInTaskbar() = 0;
  virtual bool SetShowWindowsInTaskbar(bool show) = 0;
  virtual WorkbooksPtr Workbooks() = 0;
  // Null when no workbook is active.
  virtual WorkbookPtr ActiveWorkbook() = 0;
  // Office's command bars: Excel's menus and toolbars, and the add-in's popups.
  virtual CommandBarsPtr CommandBars() = 0;
  // Off, Excel stops redrawing while a command walks several workbooks.
  virtual bool SetScreenUpdating(bool on) = 0;
  // Connects `sink` to the application events until the returned connection is destroyed;
  // null when the host refused. The sink must outlive the connection.
  virtual std::unique_ptr<IEventConnection> ConnectEvents(IAppEvents& sink) = 0;
};
using ApplicationPtr = std::shared_ptr<IApplication>;

}  // namespace vestrano::host
