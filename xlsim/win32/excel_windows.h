// Excel's windows, as real windows of xlsim's process: the main window "XLMAIN" (a client area of
// 1024 by 768 pixels), its command-bar band "EXCEL;", the formula bar "EXCEL<" with its edit box
// "EXCEL6", the workbook area "XLDESK" (an MDI client, as Excel's is) holding one maximized MDI
// child "EXCEL7" per workbook window, and the status bar "EXCEL4". Edit boxes of class "EDTBX"
// and windows of any other class are made when a script moves the focus to one.
//
// It is the model's shell: it follows the workbook windows, answers whether a cell is edited, and
// runs Excel's modal windows (the save prompt, the Save As and window-list dialogs).
#pragma once

#include "host/win32/windows_api.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "xlsim/excel_model.h"

namespace vestrano::xlsim::win32 {

// Where Excel's windows are, in the main window's client coordinates; the scenario files'
// rectangles are these.
namespace layout {
inline constexpr RECT kClient{0, 0, 1024, 768};
inline constexpr RECT kCommandBars{0, 0, 1024, 50};
// Reaches 4 rows into the workbook area, so Excel 2003's narrower tab bar shows.
inline constexpr RECT kFormulaBar{300, 50, 1024, 84};
inline constexpr RECT kDesk{0, 80, 1024, 740};
inline constexpr RECT kStatusBar{0, 740, 1024, 768};
inline constexpr RECT kEditBox{300, 52, 1024, 82};
// How long a prompt or dialog stays up before its user answers.
inline constexpr DWORD kModalMs = 120;
}  // namespace layout

class ExcelWindows final : public ExcelShell {
 public:
  ExcelWindows();
  ~ExcelWindows() override;
  ExcelWindows(const ExcelWindows&) = delete;
  ExcelWindows& operator=(const ExcelWindows&) = delete;

  // The model whose windows these are; set once, before anything is shown.
  void Attach(ExcelModel& model) { model_ = &model; }

  HWND Main() const { return main_; }
  HWND Desk() const { return desk_; }
  void ShowMain(bool shown);
  void ShowFormulaBar(bool shown);
  // Moves the focus to a window of `class_name`, made when Excel has none; false when Windows
  // refused the focus change.
  std::optional<std::string> Focus(std::string_view class_name);
  // The window that shows a workbook window of the model; null when none.
  HWND WindowOf(const Window& window) const;

  // ExcelShell
  void WindowAdded(const WindowRef& window) override;
  void WindowRemoved(const Window& window) override;
  void WindowShown(const WindowRef& window, bool visible) override;
  void WindowToFront(const WindowRef& window) override;
  void CaptionsChanged(const Workbook& workbook) override;
  void FocusGrid() override;
  bool Editing() override;
  bool HideFileExtensions() override;
  SaveAnswer AskToSave(const Workbook& workbook, SaveAnswer preset) override;
  void SaveAsDialog(const Workbook& workbook) override;
  std::optional<std::size_t> WindowListDialog(const std::vector<WindowEntry>& entries,
                                              std::size_t selected) override;

 private:
  HWND MakeChild(const wchar_t* class_name, const RECT& rect, HWND parent);

  ExcelModel* model_ = nullptr;
  HWND main_ = nullptr;
  HWND desk_ = nullptr;
  HWND formula_bar_ = nullptr;
  std::map<const Window*, HWND> windows_;
};

}  // namespace vestrano::xlsim::win32
