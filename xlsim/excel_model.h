// Excel as xlsim plays it, as far as an add-in can tell: workbooks in Excel's order with their
// windows, names, full names and saved state; the active window at the front of the z-order; the
// application events, raised in Excel's order, synchronously, inside the action that causes them;
// the save prompt, the Save As dialog and the window-list dialog, modal, during which Excel is not
// Ready; and the refusal to activate anything through the object model while a cell is edited.
//
// Portable: what Excel shows on screen and asks the user goes through ExcelShell, which xlsim's
// Windows side implements with real windows, and the unit tests with a recorder.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scenario/observation_lines.h"

namespace vestrano::xlsim {

struct Workbook;

struct Window {
  std::uint64_t serial = 0;  // creation order; the Window menu lists newer ones first
  bool visible = true;
  Workbook* workbook = nullptr;  // null once the workbook has closed
  std::weak_ptr<Workbook> owner;
};

struct Workbook {
  std::string name;
  std::string full_name;
  bool saved = true;
  bool open = true;  // false once closed; objects that still refer to it then fail
  std::vector<std::shared_ptr<Window>> windows;
};

using WorkbookRef = std::shared_ptr<Workbook>;
using WindowRef = std::shared_ptr<Window>;

// A visible window as the Window menu and the window-list dialog name it.
struct WindowEntry {
  std::string caption;  // "Book1.xlsx", "Book1.xlsx:2"; "Book1" while extensions are hidden
  WindowRef window;
};

// The application events, with the arguments Excel passes (the sheet events name the sheet's
// workbook; the COM side makes the sheet object).
class ExcelEvents {
 public:
  virtual ~ExcelEvents() = default;
  virtual void NewWorkbook(const WorkbookRef&) {}
  virtual void WorkbookOpen(const WorkbookRef&) {}
  virtual void WorkbookActivate(const WorkbookRef&) {}
  virtual void WorkbookDeactivate(const WorkbookRef&) {}
  virtual void WindowActivate(const WorkbookRef&, const WindowRef&) {}
  virtual void WindowDeactivate(const WorkbookRef&, const WindowRef&) {}
  virtual void WorkbookBeforeClose(const WorkbookRef&, bool& /*cancel*/) {}
  virtual void WorkbookBeforeSave(const WorkbookRef&, bool /*save_as_ui*/, bool& /*cancel*/) {}
  virtual void SheetActivate(const WorkbookRef&) {}
  virtual void SheetDeactivate(const WorkbookRef&) {}
  virtual void SheetSelectionChange(const WorkbookRef&) {}
};

enum class SaveAnswer { kSave, kDiscard, kCancel };

// What Excel shows and asks on screen.
class ExcelShell {
 public:
  virtual ~ExcelShell() = default;
  // A workbook window came, went, was hidden or shown, or came to the front.
  virtual void WindowAdded(const WindowRef& window) = 0;
  virtual void WindowRemoved(const Window& window) = 0;
  virtual void WindowShown(const WindowRef& window, bool visible) = 0;
  virtual void WindowToFront(const WindowRef& window) = 0;
  // The captions of a workbook's windows changed (a new name, a second window).
  virtual void CaptionsChanged(const Workbook& workbook) = 0;
  // The keyboard focus goes to the active window's grid.
  virtual void FocusGrid() = 0;
  // Whether the keyboard focus is in a window where a cell is edited.
  virtual bool Editing() = 0;
  // Whether Explorer hides file extensions, which window captions then follow.
  virtual bool HideFileExtensions() = 0;
  // The modal windows; each returns when the user has answered.
  // The save prompt; the user answers `preset`, unless the prompt goes away some other way.
  virtual SaveAnswer AskToSave(const Workbook& workbook, SaveAnswer preset) = 0;
  virtual void SaveAsDialog(const Workbook& workbook) = 0;
  // The item chosen with "确定", or nothing when the dialog was cancelled.
  virtual std::optional<std::size_t> WindowListDialog(const std::vector<WindowEntry>& entries,
                                                      std::size_t selected) = 0;
};

class ExcelModel {
 public:
  ExcelModel(ExcelShell& shell, ExcelEvents& events) : shell_(shell), events_(events) {}
  ~ExcelModel();
  ExcelModel(const ExcelModel&) = delete;
  ExcelModel& operator=(const ExcelModel&) = delete;

  // --- What the user and Excel do; each returns why Excel refuses, or nothing when done. ---
  using Outcome = std::optional<std::string>;
  Outcome Open(std::string_view name, std::string_view folder);
  Outcome New();
  Outcome Activate(std::string_view name);
  Outcome Edit();
  Outcome SelectionChange();
  Outcome SheetChange();
  Outcome Save();
  Outcome SaveAs(std::string_view new_name, std::string_view folder);
  Outcome Close(std::string_view name);
  Outcome Hide(std::string_view name);
  Outcome Unhide(std::string_view name);
  Outcome NewWindow(std::string_view name);
  // Excel's built-in commands by control Id, on the active workbook (3, 106, 748, 2520).
  void RunBuiltIn(int id);
  // A Window-menu entry (or the window-list dialog) activates the window; the cell being edited
  // is entered and the focus goes to the grid.
  void ActivateFromMenu(const WindowRef& window);
  // The window-list dialog of the Window menu's last entry.
  void RunWindowList();

  // --- The object model's side. ---
  // False, and nothing changes, while a cell is edited or the window is hidden.
  bool ActivateWindow(const WindowRef& window);
  bool ActivateWorkbook(const WorkbookRef& workbook);
  // By name, letter case ignored, as Excel's Workbooks(name) finds them.
  WorkbookRef Find(std::string_view name) const;
  const std::vector<WorkbookRef>& Workbooks() const { return workbooks_; }
  WindowRef ActiveWindow() const;
  WorkbookRef ActiveWorkbook() const;
  // Visible windows as the Window menu lists them: by caption, letter case ignored, the newer
  // window first among equal captions.
  std::vector<WindowEntry> WindowEntries() const;
  // A window's caption: the workbook's name, with ":n" when the workbook has several windows.
  std::string CaptionOf(const Window& window) const;
  bool Ready() const;
  bool InModal() const { return modal_depth_ > 0; }

  // --- Application state that scripts set and the object model reads. ---
  std::string version = "12.0";
  bool visible = true;
  bool ready = true;
  bool display_formula_bar = true;
  bool show_windows_in_taskbar = true;
  bool screen_updating = true;
  SaveAnswer save_answer = SaveAnswer::kDiscard;

  // The `workbooks` observation's values, in Excel's order.
  std::vector<scenario::WorkbookView> Views() const;

 private:
  // Makes `window` the active one, with the events of the switch.
  void SwitchTo(const WindowRef& window);
  // After the active window went away or was hidden: the next visible one in z-order.
  void ActivateNext();
  WorkbookRef Owner(const Window& window) const;
  void Remove(const WorkbookRef& workbook);
  // Ctrl+S with its events; true when the workbook was saved.
  bool SaveWithEvents(const WorkbookRef& workbook);
  void SaveUnderName(Workbook& workbook, std::string_view name, std::string_view folder);
  WindowRef AddWindow(const WorkbookRef& workbook);
  WorkbookRef AddWorkbook(std::string_view name, std::string_view full_name);
  std::string DefaultExtension() const;
  // Runs one of Excel's modal windows: Excel is not Ready meanwhile.
  template <typename Run>
  auto Modal(Run run);

  ExcelShell& shell_;
  ExcelEvents& events_;
  std::vector<WorkbookRef> workbooks_;
  std::vector<std::weak_ptr<Window>> z_order_;  // front is the active window
  int new_counter_ = 0;
  std::uint64_t window_serial_ = 0;
  int modal_depth_ = 0;
};

// Letter case folded as Excel compares workbook names (ASCII only; names of other scripts
// compare exactly).
bool SameName(std::string_view a, std::string_view b);

}  // namespace vestrano::xlsim
