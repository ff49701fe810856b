// An in-memory Excel for the tests and vestrano-sim: workbooks in Excel's order with their
// windows, names, full names and saved state, the active window in z-order, and the application
// events, raised synchronously in Excel's order to every connected sink. The `Open`, `New`,
// `Close`... members are what the user or Excel itself does (not host calls); the IApplication
// members are what the add-in calls, each recorded in HostCalls and each able to fail on request.
// Attached to a fake window system and clock, it also has Excel's window tree, and its save
// prompt and Save As dialog are modal: a window of their own while time passes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/excel.h"
#include "host/fake/fake_accessibility.h"
#include "host/fake/fake_clock.h"
#include "host/fake/fake_command_bars.h"
#include "host/fake/fake_registry.h"
#include "host/fake/fake_window_system.h"
#include "host/fake/host_calls.h"
#include "scenario/observation_lines.h"

namespace vestrano::fake {

// Explorer's setting that hides file extensions, which Excel's window captions follow.
inline constexpr std::string_view kExplorerAdvancedKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
inline constexpr std::string_view kHideFileExtValue = "HideFileExt";

// Excel's window-list dialog, which the Window menu's last entry opens.
inline constexpr std::string_view kWindowListClass = "bosa_sdm_XL9";
inline constexpr std::string_view kWindowListTitle = "激活";
inline constexpr std::string_view kMoreWindowsCaption = "其他窗口(&M)...";
inline constexpr std::size_t kWindowMenuEntries = 9;

// Excel's windows once attached: the main window in screen coordinates (no frame, so its client
// area is the whole window), the others in its client coordinates.
namespace excel_layout {
inline constexpr Rect kMainWindow{100, 50, 1124, 818};
inline constexpr Rect kCommandBars{0, 0, 1024, 50};  // "EXCEL;"
// "EXCEL<": reaches 4 rows into the workbook area, so Excel 2003's narrower tab bar shows.
inline constexpr Rect kFormulaBar{300, 50, 1024, 84};
inline constexpr Rect kDesk{0, 80, 1024, 740};        // "XLDESK"
inline constexpr Rect kStatusBar{0, 740, 1024, 768};  // "EXCEL4"
inline constexpr Rect kDialog{312, 284, 712, 484};
inline constexpr Rect kEditBox{300, 52, 1024, 82};
// How long a prompt or dialog stays up, and the steps in which time passes meanwhile.
inline constexpr std::uint64_t kModalMs = 120;
inline constexpr std::uint64_t kModalStepMs = 10;
}  // namespace excel_layout

struct FakeWorkbookState;

struct FakeWindowState {
  FakeWorkbookState* workbook = nullptr;   // owner; the window dies with it
  std::weak_ptr<FakeWorkbookState> owner;  // the same, for handing out references
  bool visible = true;
  std::uint64_t serial = 0;  // creation order, for the Window menu's order
};

// A visible window as Excel's Window menu and window-list dialog name it.
struct FakeWindowEntry {
  std::string caption;  // "Book1.xlsx", "Book1.xlsx:2", "Book1" with extensions hidden
  std::shared_ptr<FakeWindowState> window;
};

struct FakeWorkbookState {
  std::string name;
  std::string full_name;
  bool saved = true;
  bool open = true;  // false once closed: references held by the add-in then fail
  std::vector<std::shared_ptr<FakeWindowState>> windows;
};

// How the user answers Excel's save prompt when a modified workbook is closed.
enum class SaveAnswer { kSave, kDiscard, kCancel };

class FakeExcel final : public host::IApplication {
 public:
  explicit FakeExcel(HostCalls& calls);
  ~FakeExcel() override;

  // --- What the user and Excel do. Each returns an error text when Excel would refuse. ---
  using Outcome = std::optional<std::string>;  // empty: done
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
  void SetSaveAnswer(SaveAnswer answer) { save_answer_ = answer; }
  // The keyboard focus moves to a window of that class, made when Excel has none ("EXCEL7" in
  // the workbook area, others in the main window). Needs AttachWindows.
  Outcome FocusClass(std::string_view class_name);

  // Builds Excel's window tree (see excel_layout), makes the main window the active one and
  // Hwnd() answer it. From then on a save prompt and the Save As dialog are children of the main
  // window for kModalMs of `clock`, during which Ready is false. Both must outlive this Excel.
  void AttachWindows(FakeWindowSystem& windows, FakeClock& clock);
  // Window captions then follow Explorer's HideFileExt in `registry`, and the window-list dialog
  // answers WM_GETOBJECT through `accessibility`. Both must outlive this Excel.
  void AttachSystem(FakeRegistry& registry, FakeAccessibility& accessibility);

  // --- Excel's built-in commands, as its command bars run them on the active workbook. ---
  void RunBuiltIn(int id);
  // Visible windows as the Window menu lists them: by caption, letter case ignored, and the more
  // recently made window first among equal captions.
  std::vector<FakeWindowEntry> WindowEntries() const;
  // A Window-menu entry or the window-list dialog activates `window`; the cell being edited is
  // entered, and the keyboard focus goes to the grid.
  void ActivateFromMenu(const std::weak_ptr<FakeWindowState>& window);
  // The window-list dialog: a top-level window titled "激活" whose accessible tree has a list
  // with one item per window caption and a "确定" button. It is activated (the CBT hook hears
  // HCBT_ACTIVATE) before it takes the focus; unless something presses "确定" it stays up for
  // kModalMs and closes cancelled.
  void RunWindowListDialog();

  // --- Host state that the scenario sets directly. ---
  void SetVersion(std::string version) { version_ = std::move(version); }
  void SetVisible(bool visible) { visible_ = visible; }
  void SetReady(bool ready) { ready_ = ready; }
  void SetDisplayFormulaBar(bool shown) { formula_bar_ = shown; }

  // --- Observation without host calls. ---
  const std::vector<std::shared_ptr<FakeWorkbookState>>& WorkbookStates() const {
    return workbooks_;
  }
  const FakeWorkbookState* ActiveState() const;
  // The workbooks in Excel's order, as the scenario language shows them.
  std::vector<scenario::WorkbookView> WorkbookViews() const;
  std::size_t ConnectedSinks() const { return sinks_.size(); }
  // Raises WorkbookOpen again for an open workbook, so that benchmarks can measure the handler
  // without the workbook collection growing.
  void RaiseWorkbookOpen(std::string_view name);
  vestrano::Hwnd MainWindow() const { return main_window_; }
  HostCalls& Calls() { return calls_; }
  FakeCommandBars& Bars() { return command_bars_; }
  bool ScreenUpdating() const { return screen_updating_; }
  bool WindowsInTaskbar() const { return windows_in_taskbar_; }

  // --- host::IApplication ---
  std::optional<vestrano::Hwnd> Hwnd() override;
  std::optional<std::uintptr_t> Hinstance() override;
  std::optional<std::string> Version() override;
  std::optional<bool> Visible() override;
  std::optional<bool> Ready() override;
  std::optional<bool> DisplayFormulaBar() override;
  std::optional<bool> ShowWindowsInTaskbar() override;
  bool SetShowWindowsInTaskbar(bool show) override;
  host::WorkbooksPtr Workbooks() override;
  host::WorkbookPtr ActiveWorkbook() override;
  host::CommandBarsPtr CommandBars() override;
  bool SetScreenUpdating(bool on) override;
  std::unique_ptr<host::IEventConnection> ConnectEvents(host::IAppEvents& sink) override;

  // Used by the object wrappers: the same paths the user's commands take. While a cell is being
  // edited (the focus in "EXCEL6", "EXCEL<" or "EDTBX"), Excel refuses to activate anything
  // through its object model; its Window menu still switches.
  bool ActivateWindow(const std::shared_ptr<FakeWindowState>& window);
  bool ActivateWorkbook(const std::shared_ptr<FakeWorkbookState>& workbook);
  host::WorkbookPtr Wrap(const std::shared_ptr<FakeWorkbookState>& state);
  host::WindowPtr Wrap(const std::shared_ptr<FakeWindowState>& state);
  std::shared_ptr<FakeWorkbookState> Find(std::string_view name) const;

 private:
  class Connection;
  friend class Connection;

  template <typename Raise>
  void RaiseEvent(Raise raise);
  // Makes `window` the active one, raising the events Excel raises for the switch.
  void SwitchTo(const std::shared_ptr<FakeWindowState>& window);
  // After the active window went away or was hidden: the next visible one in z-order.
  void ActivateNextAfter(const std::shared_ptr<FakeWindowState>& gone);
  std::shared_ptr<FakeWindowState> ActiveWindow() const;
  std::shared_ptr<FakeWorkbookState> Owner(const FakeWindowState& window) const;
  host::SheetPtr ActiveSheet();
  void Remove(const std::shared_ptr<FakeWorkbookState>& workbook);
  void SaveUnderName(FakeWorkbookState& workbook, std::string_view name, std::string_view folder);
  // Ctrl+S on the workbook, with its events; true when it was saved.
  bool SaveWithEvents(const std::shared_ptr<FakeWorkbookState>& state);
  // A new window of the workbook, and a new workbook with one window, in Excel's order.
  std::shared_ptr<FakeWindowState> AddWindow(const std::shared_ptr<FakeWorkbookState>& workbook);
  std::shared_ptr<FakeWorkbookState> AddWorkbook(std::string_view name, std::string_view full_name);
  std::string DefaultExtension() const;
  // Shows a modal window of Excel's and lets time pass until the user answers it.
  void RunModal(std::string_view class_name, std::string_view title);
  void BuildCommandBars();
  void RefreshWindowMenu(FakeControlState& menu);
  bool HideFileExtensions() const;
  bool Editing() const;

  HostCalls& calls_;
  std::vector<std::shared_ptr<FakeWorkbookState>> workbooks_;
  std::vector<std::weak_ptr<FakeWindowState>> z_order_;  // front is the active window
  std::vector<host::IAppEvents*> sinks_;
  int new_counter_ = 0;
  SaveAnswer save_answer_ = SaveAnswer::kDiscard;
  std::string version_ = "12.0";
  bool visible_ = true;
  bool ready_ = true;
  bool formula_bar_ = true;
  bool windows_in_taskbar_ = true;
  vestrano::Hwnd main_window_{0x10010};
  FakeWindowSystem* windows_ = nullptr;
  FakeClock* clock_ = nullptr;
  int modal_depth_ = 0;
  bool screen_updating_ = true;
  std::uint64_t window_serial_ = 0;
  FakeCommandBars command_bars_{calls_};
  FakeRegistry* registry_ = nullptr;
  FakeAccessibility* accessibility_ = nullptr;
};

}  // namespace vestrano::fake
