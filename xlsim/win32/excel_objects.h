// Excel's object model over IDispatch: Application, Workbooks, Workbook, Windows, Window, the
// worksheet and the range that the sheet events name. DISPIDs are those of Excel's type
// library; callers find them by name. Objects refer to the model's workbooks and windows
// weakly: once a workbook has closed, its objects fail as Excel's do.
#pragma once

#include "host/win32/windows_api.h"

#include <vector>

#include "xlsim/excel_model.h"
#include "xlsim/win32/automation.h"
#include "xlsim/win32/excel.h"

namespace vestrano::xlsim::win32 {

inline constexpr IID kIidApplication = {
    0x000208D5, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID kDiidAppEvents = {
    0x00024413, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// The Application object; it raises the application events to its connected sinks.
class ApplicationEvents {
 public:
  virtual ~ApplicationEvents() = default;
  virtual void FireEvent(DISPID event, const std::vector<VARIANT>& args) = 0;
};

ComPtr<IDispatch> NewApplication(const Link& link, ApplicationEvents** events);
ComPtr<IDispatch> NewWorkbookObject(const Link& link, const WorkbookRef& workbook);
ComPtr<IDispatch> NewWindowObject(const Link& link, const WindowRef& window);
ComPtr<IDispatch> NewSheetObject(const Link& link, const WorkbookRef& workbook);
ComPtr<IDispatch> NewRangeObject(const Link& link, const WorkbookRef& workbook);

}  // namespace vestrano::xlsim::win32
