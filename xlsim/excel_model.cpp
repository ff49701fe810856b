// Excel's workbooks, windows and events. Events go out while the change is under way, as in
// Excel: a handler may close workbooks or disconnect itself, so every step checks again that
// what it works on is still open.
#include "xlsim/excel_model.h"

#include <algorithm>
#include <cstdlib>

namespace vestrano::xlsim {
namespace {

// The control Ids of Excel's built-in commands that the scenario language reaches.
constexpr int kControlSave = 3;
constexpr int kControlClose = 106;
constexpr int kControlSaveAs = 748;
constexpr int kControlNew = 2520;
constexpr std::string_view kDefaultFolder = "C:\\Data";

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string UpperAscii(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), Upper);
  return out;
}

bool HasVisibleWindow(const Workbook& workbook) {
  return std::any_of(workbook.windows.begin(), workbook.windows.end(),
                     [](const auto& window) { return window->visible; });
}

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Upper(x) == Upper(y); });
}

ExcelModel::~ExcelModel() {
  for (const auto& workbook : workbooks_) workbook->open = false;
}

template <typename Run>
auto ExcelModel::Modal(Run run) {
  struct Depth {
    int& depth;
    explicit Depth(int& d) : depth(d) { ++depth; }
    ~Depth() { --depth; }
  } depth(modal_depth_);
  return run();
}

WorkbookRef ExcelModel::Find(std::string_view name) const {
  for (const auto& workbook : workbooks_) {
    if (SameName(workbook->name, name)) return workbook;
  }
  return nullptr;
}

WorkbookRef ExcelModel::Owner(const Window& window) const {
  auto workbook = window.owner.lock();
  return workbook && workbook->open ? workbook : nullptr;
}

WindowRef ExcelModel::ActiveWindow() const {
  for (const auto& weak : z_order_) {
    auto window = weak.lock();
    if (window && window->visible && window->workbook && window->workbook->open) return window;
  }
  return nullptr;
}

WorkbookRef ExcelModel::ActiveWorkbook() const {
  auto window = ActiveWindow();
  return window ? Owner(*window) : nullptr;
}

bool ExcelModel::Ready() const {
  return ready && modal_depth_ == 0 && !shell_.Editing();
}

std::string ExcelModel::DefaultExtension() const {
  return std::strtod(version.c_str(), nullptr) >= 12 ? ".xlsx" : ".xls";
}

std::string ExcelModel::CaptionOf(const Window& window) const {
  const Workbook* workbook = window.workbook;
  if (!workbook) return {};
  std::string caption = workbook->name;
  if (const auto dot = caption.rfind('.');
      dot != std::string::npos && shell_.HideFileExtensions()) {
    caption.resize(dot);
  }
  if (workbook->windows.size() > 1) {
    for (std::size_t i = 0; i < workbook->windows.size(); ++i) {
      if (workbook->windows[i].get() == &window) caption += ":" + std::to_string(i + 1);
    }
  }
  return caption;
}

std::vector<WindowEntry> ExcelModel::WindowEntries() const {
  std::vector<WindowEntry> entries;
  for (const auto& workbook : workbooks_) {
    for (const auto& window : workbook->windows) {
      if (window->visible) entries.push_back({CaptionOf(*window), window});
    }
  }
  std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
    const std::string x = UpperAscii(a.caption);
    const std::string y = UpperAscii(b.caption);
    if (x != y) return x < y;
    return a.window->serial > b.window->serial;
  });
  return entries;
}

std::vector<scenario::WorkbookView> ExcelModel::Views() const {
  const auto active = ActiveWorkbook();
  std::vector<scenario::WorkbookView> views;
  for (const auto& workbook : workbooks_) {
    views.push_back(
        {workbook->name, workbook->saved, !HasVisibleWindow(*workbook), workbook == active});
  }
  return views;
}

void ExcelModel::SwitchTo(const WindowRef& window) {
  const auto previous = ActiveWindow();
  if (previous == window) return;
  std::erase_if(z_order_, [&](const auto& weak) {
    auto held = weak.lock();
    return !held || held == window;
  });
  z_order_.insert(z_order_.begin(), window);
  shell_.WindowToFront(window);
  const bool other_workbook = !previous || previous->workbook != window->workbook;
  if (previous) {
    auto old_workbook = Owner(*previous);
    events_.WindowDeactivate(old_workbook, previous);
    if (other_workbook && old_workbook) events_.WorkbookDeactivate(old_workbook);
  }
  auto workbook = Owner(*window);
  if (!workbook) return;
  if (other_workbook) events_.WorkbookActivate(workbook);
  if (workbook->open) events_.WindowActivate(workbook, window);
}

void ExcelModel::ActivateNext() {
  std::erase_if(z_order_, [](const auto& weak) { return weak.expired(); });
  auto next = ActiveWindow();
  if (!next) return;
  shell_.WindowToFront(next);
  if (auto workbook = Owner(*next)) {
    events_.WorkbookActivate(workbook);
    if (workbook->open) events_.WindowActivate(workbook, next);
  }
}

WindowRef ExcelModel::AddWindow(const WorkbookRef& workbook) {
  auto window = std::make_shared<Window>();
  window->workbook = workbook.get();
  window->owner = workbook;
  window->serial = ++window_serial_;
  workbook->windows.push_back(window);
  shell_.WindowAdded(window);
  if (workbook->windows.size() > 1) shell_.CaptionsChanged(*workbook);
  return window;
}

WorkbookRef ExcelModel::AddWorkbook(std::string_view name, std::string_view full_name) {
  auto workbook = std::make_shared<Workbook>();
  workbook->name = name;
  workbook->full_name = full_name;
  workbooks_.push_back(workbook);
  AddWindow(workbook);
  return workbook;
}

void ExcelModel::Remove(const WorkbookRef& workbook) {
  workbook->open = false;
  for (const auto& window : workbook->windows) {
    window->workbook = nullptr;
    shell_.WindowRemoved(*window);
  }
  std::erase(workbooks_, workbook);
}

ExcelModel::Outcome ExcelModel::Open(std::string_view name, std::string_view folder) {
  if (name.empty()) return "a workbook needs a name";
  // Excel keeps one workbook of a name, whatever the letter case and the folder.
  if (Find(name)) return "a workbook named " + std::string(name) + " is already open";
  auto workbook = AddWorkbook(name, std::string(folder) + "\\" + std::string(name));
  events_.WorkbookOpen(workbook);
  if (workbook->open && !workbook->windows.empty()) SwitchTo(workbook->windows.front());
  return std::nullopt;
}

ExcelModel::Outcome ExcelModel::New() {
  std::string name;
  do {
    name = "Book" + std::to_string(++new_counter_);
  } while (Find(name));
  auto workbook = AddWorkbook(name, name);
  events_.NewWorkbook(workbook);
  if (workbook->open && !workbook->windows.empty()) SwitchTo(workbook->windows.front());
  return std::nullopt;
}

ExcelModel::Outcome ExcelModel::Activate(std::string_view name) {
  auto workbook = Find(name);
  if (!workbook) return "no open workbook named " + std::string(name);
  for (const auto& window : workbook->windows) {
    if (window->visible) {
      SwitchTo(window);
      return std::nullopt;
    }
  }
  return std::string(name) + " has no visible window";
}

ExcelModel::Outcome ExcelModel::Edit() {
  auto workbook = ActiveWorkbook();
  if (!workbook) return "no workbook is active";
  workbook->saved = false;
  return std::nullopt;
}

ExcelModel::Outcome ExcelModel::SelectionChange() {
  auto workbook = ActiveWorkbook();
  if (!workbook) return "no workbook is active";
  events_.SheetSelectionChange(workbook);
  return std::nullopt;
}

ExcelModel::Outcome ExcelModel::SheetChange() {
  auto workbook = ActiveWorkbook();
  if (!workbook) return "no workbook is active";
  events_.SheetDeactivate(workbook);
  if (workbook->open) events_.SheetActivate(workbook);
  return std::nullopt;
}

void ExcelModel::SaveUnderName(Workbook& workbook, std::string_view name, std::string_view folder) {
  workbook.name = name;
  workbook.full_name = std::string(folder) + "\\" + std::string(name);
  workbook.saved = true;
  shell_.CaptionsChanged(workbook);
}

bool ExcelModel::SaveWithEvents(const WorkbookRef& workbook) {
  // A workbook never saved goes through Save As, with the dialog's default answers.
  const bool never_saved = workbook->name == workbook->full_name;
  bool cancel = false;
  events_.WorkbookBeforeSave(workbook, never_saved, cancel);
  if (cancel || !workbook->open) return false;
  if (!never_saved) {
    workbook->saved = true;
    return true;
  }
  Modal([&] { shell_.SaveAsDialog(*workbook); });
  const std::string name = workbook->name + DefaultExtension();
  // Excel cannot save under the name of another open workbook.
  const auto clash = Find(name);
  if (!workbook->open || (clash && clash != workbook)) return false;
  SaveUnderName(*workbook, name, kDefaultFolder);
  return true;
}

ExcelModel::Outcome ExcelModel::Save() {
  auto workbook = ActiveWorkbook();
  if (!workbook) return "no workbook is active";
  SaveWithEvents(workbook);
  return std::nullopt;
}

ExcelModel::Outcome ExcelModel::SaveAs(std::string_view new_name, std::string_view folder) {
  auto workbook = ActiveWorkbook();
  if (!workbook) return "no workbook is active";
  if (new_name.empty()) return "a workbook needs a name";
  if (auto clash = Find(new_name); clash && clash != workbook) {
    return "a workbook named " + std::string(new_name) + " is already open";
  }
  bool cancel = false;
  events_.WorkbookBeforeSave(workbook, true, cancel);
  if (cancel || !workbook->open) return std::nullopt;
  Modal([&] { shell_.SaveAsDialog(*workbook); });
  if (workbook->open) SaveUnderName(*workbook, new_name, folder);
  return std::nullopt;
}

ExcelModel::Outcome ExcelModel::Close(std::string_view name) {
  auto workbook = Find(name);
  if (!workbook) return "no open workbook named " + std::string(name);
  // The user closes a workbook by its window's close box, which brings the window to the front.
  for (const auto& window : workbook->windows) {
    if (window->visible) {
      SwitchTo(window);
      break;
    }
  }
  if (!workbook->open) return std::nullopt;
  bool cancel = false;
  events_.WorkbookBeforeClose(workbook, cancel);
  if (cancel || !workbook->open) return std::nullopt;
  if (!workbook->saved) {
    const SaveAnswer answer = Modal([&] { return shell_.AskToSave(*workbook, save_answer); });
    if (!workbook->open || answer == SaveAnswer::kCancel) return std::nullopt;
    // A save that does not happen keeps the workbook open.
    if (answer == SaveAnswer::kSave && !SaveWithEvents(workbook)) return std::nullopt;
  }
  const auto active = ActiveWindow();
  const bool was_active = active && active->workbook == workbook.get();
  if (was_active) {
    events_.WindowDeactivate(workbook, active);
    if (workbook->open) events_.WorkbookDeactivate(workbook);
  }
  if (!workbook->open) return std::nullopt;
  Remove(workbook);
  if (was_active) ActivateNext();
  return std::nullopt;
}

ExcelModel::Outcome ExcelModel::Hide(std::string_view name) {
  auto workbook = Find(name);
  if (!workbook) return "no open workbook named " + std::string(name);
  const auto active = ActiveWindow();
  const bool was_active = active && active->workbook == workbook.get();
  if (was_active) {
    events_.WindowDeactivate(workbook, active);
    if (workbook->open) events_.WorkbookDeactivate(workbook);
  }
  for (const auto& window : workbook->windows) {
    window->visible = false;
    shell_.WindowShown(window, false);
  }
  if (was_active) ActivateNext();
  return std::nullopt;
}

ExcelModel::Outcome ExcelModel::Unhide(std::string_view name) {
  auto workbook = Find(name);
  if (!workbook) return "no open workbook named " + std::string(name);
  if (HasVisibleWindow(*workbook)) return std::string(name) + " is not hidden";
  for (const auto& window : workbook->windows) {
    window->visible = true;
    shell_.WindowShown(window, true);
  }
  SwitchTo(workbook->windows.front());
  return std::nullopt;
}

ExcelModel::Outcome ExcelModel::NewWindow(std::string_view name) {
  auto workbook = Find(name);
  if (!workbook) return "no open workbook named " + std::string(name);
  SwitchTo(AddWindow(workbook));
  return std::nullopt;
}

void ExcelModel::RunBuiltIn(int id) {
  auto workbook = ActiveWorkbook();
  switch (id) {
    case kControlNew:
      New();
      break;
    case kControlSave:
      if (workbook) SaveWithEvents(workbook);
      break;
    case kControlClose:
      if (workbook) Close(workbook->name);
      break;
    case kControlSaveAs: {
      if (!workbook) break;
      // Save As with the dialog's default answers: the same name and folder, or a first name
      // with the default extension for a workbook never saved.
      const bool never_saved = workbook->name == workbook->full_name;
      const std::string name = never_saved ? workbook->name + DefaultExtension() : workbook->name;
      const std::string folder =
          never_saved ? std::string(kDefaultFolder)
                      : workbook->full_name.substr(0, workbook->full_name.rfind('\\'));
      SaveAs(name, folder);
      break;
    }
    default:
      break;
  }
}

bool ExcelModel::ActivateWindow(const WindowRef& window) {
  if (!window || !window->visible || !window->workbook || !window->workbook->open ||
      shell_.Editing()) {
    return false;
  }
  SwitchTo(window);
  return true;
}

bool ExcelModel::ActivateWorkbook(const WorkbookRef& workbook) {
  if (!workbook || !workbook->open || shell_.Editing()) return false;
  for (const auto& window : workbook->windows) {
    if (window->visible) return ActivateWindow(window);
  }
  return false;
}

void ExcelModel::ActivateFromMenu(const WindowRef& window) {
  if (!window || !window->visible || !window->workbook || !window->workbook->open) return;
  SwitchTo(window);
  shell_.FocusGrid();
}

void ExcelModel::RunWindowList() {
  const auto entries = WindowEntries();
  const auto active = ActiveWindow();
  std::size_t selected = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].window == active) selected = i;
  }
  const auto chosen = Modal([&] { return shell_.WindowListDialog(entries, selected); });
  if (chosen && *chosen < entries.size()) ActivateFromMenu(entries[*chosen].window);
}

}  // namespace vestrano::xlsim
