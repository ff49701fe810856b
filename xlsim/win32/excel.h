// xlsim's Excel on Windows: the portable model of workbooks and command bars, shown in real
// windows (ExcelWindows) and offered to add-ins as Excel's object model over IDispatch, whose
// Application raises the model's events to every connected AppEvents sink.
#pragma once

#include "host/win32/windows_api.h"

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "xlsim/command_bar_model.h"
#include "xlsim/excel_model.h"
#include "xlsim/win32/automation.h"
#include "xlsim/win32/excel_windows.h"

namespace vestrano::xlsim::win32 {

class ApplicationEvents;
class Excel;
class PopupMenu;

// What every Excel object holds of its Excel: cleared when Excel goes, so that an object an
// add-in kept longer fails instead of reaching into freed memory.
struct ExcelLink {
  Excel* excel = nullptr;
};
using Link = std::shared_ptr<ExcelLink>;
// The linked Excel; throws Disconnected once it has gone.
Excel& Linked(const Link& link);

class Excel final : public ExcelEvents {
 public:
  Excel();
  ~Excel() override;
  Excel(const Excel&) = delete;
  Excel& operator=(const Excel&) = delete;

  ExcelModel& Model() { return *model_; }
  CommandBarModel& Bars() { return bars_; }
  ExcelWindows& Windows() { return *windows_; }
  IDispatch* Application() const { return application_.Get(); }
  const Link& GetLink() const { return link_; }

  // Excel's objects for the model's workbooks, windows and controls: one object for each, made
  // on first use, as Excel hands out the same object again.
  ComPtr<IDispatch> WorkbookObject(const WorkbookRef& workbook);
  ComPtr<IDispatch> WindowObject(const WindowRef& window);
  ComPtr<IDispatch> SheetObject(const WorkbookRef& workbook);
  ComPtr<IDispatch> ControlObject(const ControlRef& control);
  ComPtr<IDispatch> BarObject(const BarRef& bar);
  ComPtr<IDispatch> CommandBarsObject();

  // A popup bar shown at a point of the screen, as ShowPopup shows it; the one open popup
  // closes first.
  void ShowPopup(const BarRef& bar, POINT at);
  // The open popup's bar name; empty when none is open.
  std::optional<std::string> OpenPopupName() const;
  PopupMenu* OpenPopup() const { return popup_.get(); }
  void ClosePopup();
  // Called by the popup when an item is clicked: it closes, then the click is delivered.
  void PopupChosen(const ControlRef& control);

  // The events of the model, raised to the add-ins unless EnableEvents is off.
  bool enable_events = true;
  void NewWorkbook(const WorkbookRef&) override;
  void WorkbookOpen(const WorkbookRef&) override;
  void WorkbookActivate(const WorkbookRef&) override;
  void WorkbookDeactivate(const WorkbookRef&) override;
  void WindowActivate(const WorkbookRef&, const WindowRef&) override;
  void WindowDeactivate(const WorkbookRef&, const WindowRef&) override;
  void WorkbookBeforeClose(const WorkbookRef&, bool& cancel) override;
  void WorkbookBeforeSave(const WorkbookRef&, bool save_as_ui, bool& cancel) override;
  void SheetActivate(const WorkbookRef&) override;
  void SheetDeactivate(const WorkbookRef&) override;
  void SheetSelectionChange(const WorkbookRef&) override;

 private:
  void Raise(DISPID event, std::vector<VARIANT> args);
  void RaiseWithCancel(DISPID event, std::vector<VARIANT> args, bool& cancel);

  Link link_ = std::make_shared<ExcelLink>();
  std::unique_ptr<ExcelWindows> windows_;
  std::unique_ptr<ExcelModel> model_;
  CommandBarModel bars_;
  ComPtr<IDispatch> application_;
  ApplicationEvents* events_ = nullptr;  // the application object's, held with it
  ComPtr<IDispatch> command_bars_;
  std::map<const void*, std::pair<std::weak_ptr<void>, ComPtr<IDispatch>>> objects_;
  std::map<const void*, std::pair<std::weak_ptr<void>, ComPtr<IDispatch>>> sheets_;
  std::unique_ptr<PopupMenu> popup_;
  std::weak_ptr<Bar> popup_bar_;
};

}  // namespace vestrano::xlsim::win32
