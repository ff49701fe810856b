// The in-memory Excel. Object wrappers hold the shared state of their workbook or window, so a
// reference kept by the add-in fails cleanly once its workbook is closed, as a COM proxy would.
#include "host/fake/fake_excel.h"

#include <algorithm>
#include <cstdlib>

#include "base/utf8.h"

namespace vestrano::fake {
namespace {

class FakeWindow final : public host::IWindow {
 public:
  FakeWindow(FakeExcel& excel, std::shared_ptr<FakeWindowState> state)
      : excel_(excel), state_(std::move(state)) {}
  std::optional<bool> Visible() override {
    if (!Alive("Window.Visible")) return std::nullopt;
    return state_->visible;
  }
  bool Activate() override { return Alive("Window.Activate") && excel_.ActivateWindow(state_); }

 private:
  bool Alive(std::string_view call) {
    return excel_.Calls().Enter(call) && state_->workbook != nullptr && state_->workbook->open;
  }
  FakeExcel& excel_;
  std::shared_ptr<FakeWindowState> state_;
};

class FakeWindows final : public host::IWindows {
 public:
  FakeWindows(FakeExcel& excel, std::shared_ptr<FakeWorkbookState> workbook)
      : excel_(excel), workbook_(std::move(workbook)) {}
  host::WindowPtr Item(int index) override {
    if (!Alive("Windows.Item") || index < 1 ||
        index > static_cast<int>(workbook_->windows.size())) {
      return nullptr;
    }
    return excel_.Wrap(workbook_->windows[static_cast<std::size_t>(index - 1)]);
  }
  std::optional<std::vector<host::WindowPtr>> Enumerate() override {
    if (!Alive("Windows._NewEnum")) return std::nullopt;
    std::vector<host::WindowPtr> all;
    for (const auto& window : workbook_->windows) {
      if (!excel_.Calls().Enter("Windows.Next")) return std::nullopt;
      all.push_back(excel_.Wrap(window));
    }
    return all;
  }

 private:
  bool Alive(std::string_view call) { return excel_.Calls().Enter(call) && workbook_->open; }
  FakeExcel& excel_;
  std::shared_ptr<FakeWorkbookState> workbook_;
};

class FakeWorkbook final : public host::IWorkbook {
 public:
  FakeWorkbook(FakeExcel& excel, std::shared_ptr<FakeWorkbookState> state)
      : excel_(excel), state_(std::move(state)) {}
  std::optional<std::string> Name() override {
    if (!Alive("Workbook.Name")) return std::nullopt;
    return state_->name;
  }
  std::optional<std::string> FullName() override {
    if (!Alive("Workbook.FullName")) return std::nullopt;
    return state_->full_name;
  }
  std::optional<bool> Saved() override {
    if (!Alive("Workbook.Saved")) return std::nullopt;
    return state_->saved;
  }
  host::WindowsPtr Windows() override {
    if (!Alive("Workbook.Windows")) return nullptr;
    return std::make_shared<FakeWindows>(excel_, state_);
  }
  bool Activate() override { return Alive("Workbook.Activate") && excel_.ActivateWorkbook(state_); }

 private:
  bool Alive(std::string_view call) { return excel_.Calls().Enter(call) && state_->open; }
  FakeExcel& excel_;
  std::shared_ptr<FakeWorkbookState> state_;
};

class FakeWorkbooks final : public host::IWorkbooks {
 public:
  explicit FakeWorkbooks(FakeExcel& excel) : excel_(excel) {}
  host::WorkbookPtr Item(std::string_view name) override {
    if (!excel_.Calls().Enter("Workbooks.Item")) return nullptr;
    auto state = excel_.Find(name);
    return state ? excel_.Wrap(state) : nullptr;
  }
  std::optional<std::vector<host::WorkbookPtr>> Enumerate() override {
    if (!excel_.Calls().Enter("Workbooks._NewEnum")) return std::nullopt;
    std::vector<host::WorkbookPtr> all;
    for (const auto& state : excel_.WorkbookStates()) {
      if (!excel_.Calls().Enter("Workbooks.Next")) return std::nullopt;
      all.push_back(excel_.Wrap(state));
    }
    return all;
  }

 private:
  FakeExcel& excel_;
};

class FakeSheet final : public host::ISheet {
 public:
  FakeSheet(FakeExcel& excel, std::shared_ptr<FakeWorkbookState> workbook)
      : excel_(excel), workbook_(std::move(workbook)) {}
  host::WorkbookPtr Parent() override {
    if (!excel_.Calls().Enter("Sheet.Parent") || !workbook_->open) return nullptr;
    return excel_.Wrap(workbook_);
  }

 private:
  FakeExcel& excel_;
  std::shared_ptr<FakeWorkbookState> workbook_;
};

constexpr std::string_view kPromptClass = "#32770";
constexpr std::string_view kPromptTitle = "Microsoft Excel";
constexpr std::string_view kSaveAsClass = "bosa_sdm_XL9";
constexpr std::string_view kSaveAsTitle = "另存为";
constexpr std::string_view kGridClass = "EXCEL7";
constexpr std::string_view kOkCaption = "确定";
constexpr std::string_view kCancelCaption = "取消";

bool HasVisibleWindow(const FakeWorkbookState& workbook) {
  return std::any_of(workbook.windows.begin(), workbook.windows.end(),
                     [](const auto& window) { return window->visible; });
}

}  // namespace

class FakeExcel::Connection final : public host::IEventConnection {
 public:
  Connection(FakeExcel& excel, host::IAppEvents& sink) : excel_(excel), sink_(&sink) {
    excel_.sinks_.push_back(sink_);
  }
  ~Connection() override { std::erase(excel_.sinks_, sink_); }

 private:
  FakeExcel& excel_;
  host::IAppEvents* sink_;
};

FakeExcel::FakeExcel(HostCalls& calls) : calls_(calls) {
  BuildCommandBars();
}

void FakeExcel::BuildCommandBars() {
  auto& bars = command_bars_;
  auto menu_bar = bars.AddBuiltInBar("Worksheet Menu Bar");
  auto file = FakeCommandBars::AddControl(menu_bar, 30002, "文件(&F)");
  file->menu = true;
  FakeCommandBars::AddControl(file, host::kControlClose, "关闭(&C)",
                              [this] { RunBuiltIn(host::kControlClose); });
  FakeCommandBars::AddControl(file, host::kControlSaveAs, "另存为(&A)...",
                              [this] { RunBuiltIn(host::kControlSaveAs); });
  auto tools = FakeCommandBars::AddControl(menu_bar, host::kControlToolsMenu, "工具(&T)");
  tools->menu = true;
  FakeCommandBars::AddControl(tools, 2, "拼写检查(&S)...");
  FakeCommandBars::AddControl(tools, 522, "选项(&O)...");
  auto window = FakeCommandBars::AddControl(menu_bar, host::kControlWindowMenu, "窗口(&W)");
  window->menu = true;
  window->refresh = [this](FakeControlState& menu) { RefreshWindowMenu(menu); };
  auto standard = bars.AddBuiltInBar("Standard");
  FakeCommandBars::AddControl(standard, host::kControlNew, "新建(&N)",
                              [this] { RunBuiltIn(host::kControlNew); });
  FakeCommandBars::AddControl(standard, host::kControlSave, "保存(&S)",
                              [this] { RunBuiltIn(host::kControlSave); });
}

void FakeExcel::RunBuiltIn(int id) {
  auto window = ActiveWindow();
  auto state = window ? Owner(*window) : nullptr;
  switch (id) {
    case host::kControlNew:
      New();
      break;
    case host::kControlSave:
      if (state) SaveWithEvents(state);
      break;
    case host::kControlClose:
      if (state) Close(state->name);
      break;
    case host::kControlSaveAs: {
      if (!state) break;
      // Save As with the dialog's default answers: the same name, or a first name with the
      // default extension for a workbook never saved.
      const bool never_saved = state->name == state->full_name;
      const std::string name = never_saved ? state->name + DefaultExtension() : state->name;
      const std::string folder = never_saved
                                     ? std::string("C:\\Data")
                                     : state->full_name.substr(0, state->full_name.rfind('\\'));
      SaveAs(name, folder);
      break;
    }
    default:
      break;
  }
}

bool FakeExcel::HideFileExtensions() const {
  if (!registry_) return false;
  const auto value =
      registry_->Peek(host::kHkeyCurrentUser, kExplorerAdvancedKey, kHideFileExtValue);
  return value && value->type == host::kRegDword && value->bytes.size() == 4 &&
         value->bytes == std::string("\x01\0\0\0", 4);
}

std::vector<FakeWindowEntry> FakeExcel::WindowEntries() const {
  const bool hide = HideFileExtensions();
  std::vector<FakeWindowEntry> entries;
  for (const auto& workbook : workbooks_) {
    std::string name = workbook->name;
    if (const auto dot = name.rfind('.'); hide && dot != std::string::npos) name.resize(dot);
    for (std::size_t i = 0; i < workbook->windows.size(); ++i) {
      const auto& window = workbook->windows[i];
      if (!window->visible) continue;
      const std::string number =
          workbook->windows.size() > 1 ? ":" + std::to_string(i + 1) : std::string();
      entries.push_back({name + number, window});
    }
  }
  std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
    const std::string x = AsciiUpper(a.caption);
    const std::string y = AsciiUpper(b.caption);
    if (x != y) return x < y;
    return a.window->serial > b.window->serial;
  });
  return entries;
}

void FakeExcel::RefreshWindowMenu(FakeControlState& menu) {
  for (const auto& control : menu.controls) control->alive = false;
  menu.controls.clear();
  // The menu's own shared pointer, which the entries keep as their parent.
  auto self = command_bars_.FindControl(host::kControlWindowMenu);
  if (!self) return;
  FakeCommandBars::AddControl(self, 303, "新建窗口(&N)");
  FakeCommandBars::AddControl(self, 298, "重排窗口(&A)...");
  const auto entries = WindowEntries();
  for (std::size_t i = 0; i < entries.size() && i < kWindowMenuEntries; ++i) {
    std::weak_ptr<FakeWindowState> window = entries[i].window;
    auto entry =
        FakeCommandBars::AddControl(self, 0, "&" + std::to_string(i + 1) + " " + entries[i].caption,
                                    [this, window] { ActivateFromMenu(window); });
    entry->begin_group = i == 0;
  }
  if (entries.size() > kWindowMenuEntries) {
    FakeCommandBars::AddControl(self, 0, kMoreWindowsCaption, [this] { RunWindowListDialog(); });
  }
}

void FakeExcel::ActivateFromMenu(const std::weak_ptr<FakeWindowState>& weak) {
  auto window = weak.lock();
  if (!window || !window->visible || !window->workbook || !window->workbook->open) return;
  SwitchTo(window);
  if (windows_) FocusClass(kGridClass);
}

void FakeExcel::AttachSystem(FakeRegistry& registry, FakeAccessibility& accessibility) {
  registry_ = &registry;
  accessibility_ = &accessibility;
}

namespace {

// What the window-list dialog shows and what its user chose.
struct WindowList {
  std::vector<FakeWindowEntry> entries;
  std::size_t selected = 0;
  bool closed = false;
  std::weak_ptr<FakeWindowState> chosen;
};

host::AccessiblePtr WindowListTree(HostCalls& calls, const std::shared_ptr<WindowList>& list) {
  using host::kStateFocusable;
  auto root = std::make_shared<FakeAccessible>(calls, std::string(kWindowListTitle),
                                               host::kRoleWindow, kStateFocusable);
  root->AddObject(
      std::make_shared<FakeAccessible>(calls, std::string(kWindowListTitle), host::kRoleTitleBar));
  auto client = std::make_shared<FakeAccessible>(calls, std::string(kWindowListTitle),
                                                 host::kRoleClient, kStateFocusable);
  auto items = std::make_shared<FakeAccessible>(calls, "", host::kRoleList, kStateFocusable);
  std::weak_ptr<WindowList> weak = list;
  for (std::size_t i = 0; i < list->entries.size(); ++i) {
    const std::uint32_t state = i == list->selected
                                    ? kStateFocusable | host::kStateHotTracked | host::kStateFocused
                                    : kStateFocusable | host::kStateSelectable;
    items->AddSimple({list->entries[i].caption, host::kRoleListItem, state, [weak, i] {
                        if (auto l = weak.lock(); l && !l->closed) l->selected = i;
                      }});
  }
  auto ok = std::make_shared<FakeAccessible>(calls, std::string(kOkCaption), host::kRolePushButton,
                                             kStateFocusable);
  ok->SetAction([weak] {
    auto l = weak.lock();
    if (!l || l->closed || l->selected >= l->entries.size()) return;
    l->chosen = l->entries[l->selected].window;
    l->closed = true;
  });
  auto cancel = std::make_shared<FakeAccessible>(calls, std::string(kCancelCaption),
                                                 host::kRolePushButton, kStateFocusable);
  cancel->SetAction([weak] {
    if (auto l = weak.lock()) l->closed = true;
  });
  client->AddObject(items);
  client->AddObject(ok);
  client->AddObject(cancel);
  root->AddObject(client);
  return root;
}

}  // namespace

void FakeExcel::RunWindowListDialog() {
  if (!windows_ || !clock_) return;
  auto list = std::make_shared<WindowList>();
  list->entries = WindowEntries();
  const auto active = ActiveWindow();
  for (std::size_t i = 0; i < list->entries.size(); ++i) {
    if (list->entries[i].window == active) list->selected = i;
  }
  const vestrano::Hwnd focus = windows_->FocusWindow();
  const vestrano::Hwnd dialog = windows_->AddWindow(kWindowListClass, kWindowListTitle,
                                                    vestrano::Hwnd{}, excel_layout::kDialog, true);
  if (accessibility_) {
    accessibility_->Provide(dialog, [this, list] { return WindowListTree(calls_, list); });
  }
  ++modal_depth_;
  // As Windows does: the dialog is activated first, then it takes the focus.
  windows_->Activate(dialog);
  if (!list->closed && windows_->State(dialog).alive) {
    windows_->SetFocusDirect(dialog);
    for (std::uint64_t passed = 0; passed < excel_layout::kModalMs && !list->closed;
         passed += excel_layout::kModalStepMs) {
      clock_->Advance(excel_layout::kModalStepMs);
    }
  }
  if (accessibility_) accessibility_->Withdraw(dialog);
  windows_->Destroy(dialog);
  --modal_depth_;
  windows_->Activate(main_window_);
  if (auto chosen = list->chosen.lock()) {
    ActivateFromMenu(chosen);
  } else if (windows_->State(focus).alive) {
    windows_->SetFocusDirect(focus);
  }
}

FakeExcel::~FakeExcel() {
  for (const auto& workbook : workbooks_) workbook->open = false;
}

template <typename Raise>
void FakeExcel::RaiseEvent(Raise raise) {
  // A handler may disconnect itself or others while the event is being raised.
  const auto sinks = sinks_;
  for (host::IAppEvents* sink : sinks) {
    if (std::find(sinks_.begin(), sinks_.end(), sink) != sinks_.end()) raise(*sink);
  }
}

std::shared_ptr<FakeWorkbookState> FakeExcel::Find(std::string_view name) const {
  // Excel finds workbooks ignoring letter case; the exact spelling wins when two names differ
  // only in case, which only this fake allows.
  for (const auto& state : workbooks_) {
    if (state->name == name) return state;
  }
  for (const auto& state : workbooks_) {
    if (EqualsIgnoringAsciiCase(state->name, name)) return state;
  }
  return nullptr;
}

std::shared_ptr<FakeWorkbookState> FakeExcel::Owner(const FakeWindowState& window) const {
  auto state = window.owner.lock();
  return state && state->open ? state : nullptr;
}

host::WorkbookPtr FakeExcel::Wrap(const std::shared_ptr<FakeWorkbookState>& state) {
  return std::make_shared<FakeWorkbook>(*this, state);
}

host::WindowPtr FakeExcel::Wrap(const std::shared_ptr<FakeWindowState>& state) {
  return std::make_shared<FakeWindow>(*this, state);
}

std::shared_ptr<FakeWindowState> FakeExcel::ActiveWindow() const {
  for (const auto& weak : z_order_) {
    if (auto window = weak.lock();
        window && window->visible && window->workbook && window->workbook->open) {
      return window;
    }
  }
  return nullptr;
}

const FakeWorkbookState* FakeExcel::ActiveState() const {
  auto window = ActiveWindow();
  return window ? window->workbook : nullptr;
}

host::SheetPtr FakeExcel::ActiveSheet() {
  auto window = ActiveWindow();
  auto state = window ? Owner(*window) : nullptr;
  return state ? std::make_shared<FakeSheet>(*this, state) : nullptr;
}

void FakeExcel::SwitchTo(const std::shared_ptr<FakeWindowState>& window) {
  auto previous = ActiveWindow();
  if (previous == window) return;
  std::erase_if(z_order_, [&](const auto& weak) { return weak.lock() == window; });
  z_order_.insert(z_order_.begin(), window);
  if (previous) {
    auto old_workbook = Owner(*previous);
    RaiseEvent([&](host::IAppEvents& sink) {
      sink.WindowDeactivate(old_workbook ? Wrap(old_workbook) : nullptr, Wrap(previous));
    });
  }
  if (!previous || previous->workbook != window->workbook) {
    if (auto state = Owner(*window)) {
      RaiseEvent([&](host::IAppEvents& sink) { sink.WorkbookActivate(Wrap(state)); });
    }
  }
}

void FakeExcel::ActivateNextAfter(const std::shared_ptr<FakeWindowState>& gone) {
  std::erase_if(z_order_, [&](const auto& weak) {
    auto window = weak.lock();
    return !window || window == gone;
  });
  if (auto next = ActiveWindow()) {
    if (auto state = Owner(*next)) {
      RaiseEvent([&](host::IAppEvents& sink) { sink.WorkbookActivate(Wrap(state)); });
    }
  }
}

bool FakeExcel::Editing() const {
  if (!windows_) return false;
  const std::string focus = windows_->State(windows_->FocusWindow()).class_name;
  return focus == "EXCEL6" || focus == "EXCEL<" || focus == "EDTBX";
}

bool FakeExcel::ActivateWindow(const std::shared_ptr<FakeWindowState>& window) {
  if (!window->visible || Editing()) return false;
  SwitchTo(window);
  return true;
}

bool FakeExcel::ActivateWorkbook(const std::shared_ptr<FakeWorkbookState>& workbook) {
  if (Editing()) return false;
  for (const auto& window : workbook->windows) {
    if (window->visible) return ActivateWindow(window);
  }
  return false;
}

std::shared_ptr<FakeWindowState> FakeExcel::AddWindow(
    const std::shared_ptr<FakeWorkbookState>& workbook) {
  auto window = std::make_shared<FakeWindowState>();
  window->workbook = workbook.get();
  window->owner = workbook;
  window->serial = ++window_serial_;
  workbook->windows.push_back(window);
  return window;
}

std::shared_ptr<FakeWorkbookState> FakeExcel::AddWorkbook(std::string_view name,
                                                          std::string_view full_name) {
  auto state = std::make_shared<FakeWorkbookState>();
  state->name = name;
  state->full_name = full_name;
  AddWindow(state);
  workbooks_.push_back(state);
  return state;
}

FakeExcel::Outcome FakeExcel::Open(std::string_view name, std::string_view folder) {
  if (name.empty()) return "a workbook needs a name";
  for (const auto& state : workbooks_) {
    if (state->name == name) return "a workbook named " + std::string(name) + " is already open";
  }
  auto state = AddWorkbook(name, std::string(folder) + "\\" + std::string(name));
  RaiseEvent([&](host::IAppEvents& sink) { sink.WorkbookOpen(Wrap(state)); });
  SwitchTo(state->windows.front());
  return std::nullopt;
}

FakeExcel::Outcome FakeExcel::New() {
  std::string name;
  do {
    name = "Book" + std::to_string(++new_counter_);
  } while (Find(name));
  auto state = AddWorkbook(name, name);
  RaiseEvent([&](host::IAppEvents& sink) { sink.NewWorkbook(Wrap(state)); });
  SwitchTo(state->windows.front());
  return std::nullopt;
}

FakeExcel::Outcome FakeExcel::Activate(std::string_view name) {
  auto state = Find(name);
  if (!state) return "no open workbook named " + std::string(name);
  for (const auto& window : state->windows) {
    if (window->visible) {
      SwitchTo(window);
      return std::nullopt;
    }
  }
  return std::string(name) + " has no visible window";
}

FakeExcel::Outcome FakeExcel::Edit() {
  auto window = ActiveWindow();
  if (!window) return "no workbook is active";
  window->workbook->saved = false;
  return std::nullopt;
}

FakeExcel::Outcome FakeExcel::SelectionChange() {
  auto sheet = ActiveSheet();
  if (!sheet) return "no workbook is active";
  RaiseEvent([&](host::IAppEvents& sink) { sink.SheetSelectionChange(sheet); });
  return std::nullopt;
}

FakeExcel::Outcome FakeExcel::SheetChange() {
  auto sheet = ActiveSheet();
  if (!sheet) return "no workbook is active";
  RaiseEvent([&](host::IAppEvents& sink) { sink.SheetActivate(sheet); });
  return std::nullopt;
}

std::string FakeExcel::DefaultExtension() const {
  return std::strtod(version_.c_str(), nullptr) >= 12 ? ".xlsx" : ".xls";
}

void FakeExcel::SaveUnderName(FakeWorkbookState& workbook, std::string_view name,
                              std::string_view folder) {
  workbook.name = name;
  workbook.full_name = std::string(folder) + "\\" + std::string(name);
  workbook.saved = true;
}

bool FakeExcel::SaveWithEvents(const std::shared_ptr<FakeWorkbookState>& state) {
  // A workbook never saved goes through Save As, with the dialog's default answers.
  const bool never_saved = state->name == state->full_name;
  bool cancel = false;
  RaiseEvent(
      [&](host::IAppEvents& sink) { sink.WorkbookBeforeSave(Wrap(state), never_saved, cancel); });
  if (cancel || !state->open) return false;
  if (never_saved) {
    RunModal(kSaveAsClass, kSaveAsTitle);
    const std::string name = state->name + DefaultExtension();
    // Excel cannot save under the name of another open workbook.
    const auto clash = Find(name);
    if (!state->open || (clash && clash != state)) return false;
    SaveUnderName(*state, name, "C:\\Data");
  } else {
    state->saved = true;
  }
  return true;
}

FakeExcel::Outcome FakeExcel::Save() {
  auto window = ActiveWindow();
  if (!window) return "no workbook is active";
  SaveWithEvents(Owner(*window));
  return std::nullopt;
}

FakeExcel::Outcome FakeExcel::SaveAs(std::string_view new_name, std::string_view folder) {
  auto window = ActiveWindow();
  if (!window) return "no workbook is active";
  auto state = Owner(*window);
  for (const auto& other : workbooks_) {
    if (other != state && other->name == new_name) {
      return "a workbook named " + std::string(new_name) + " is already open";
    }
  }
  bool cancel = false;
  RaiseEvent([&](host::IAppEvents& sink) { sink.WorkbookBeforeSave(Wrap(state), true, cancel); });
  if (cancel) return std::nullopt;
  RunModal(kSaveAsClass, kSaveAsTitle);
  if (state->open) SaveUnderName(*state, new_name, folder);
  return std::nullopt;
}

void FakeExcel::Remove(const std::shared_ptr<FakeWorkbookState>& workbook) {
  workbook->open = false;
  for (const auto& window : workbook->windows) window->workbook = nullptr;
  std::erase(workbooks_, workbook);
}

FakeExcel::Outcome FakeExcel::Close(std::string_view name) {
  auto state = Find(name);
  if (!state) return "no open workbook named " + std::string(name);
  // The user closes a workbook by its window's close box, which brings the window to the front.
  for (const auto& window : state->windows) {
    if (window->visible) {
      SwitchTo(window);
      break;
    }
  }
  if (!state->open) return std::nullopt;
  bool cancel = false;
  RaiseEvent([&](host::IAppEvents& sink) { sink.WorkbookBeforeClose(Wrap(state), cancel); });
  if (cancel || !state->open) return std::nullopt;
  if (!state->saved) {
    RunModal(kPromptClass, kPromptTitle);
    if (!state->open || save_answer_ == SaveAnswer::kCancel) return std::nullopt;
    // A save that does not happen keeps the workbook open.
    if (save_answer_ == SaveAnswer::kSave && !SaveWithEvents(state)) return std::nullopt;
  }
  auto active = ActiveWindow();
  const bool was_active = active && active->workbook == state.get();
  if (was_active) {
    RaiseEvent([&](host::IAppEvents& sink) { sink.WindowDeactivate(Wrap(state), Wrap(active)); });
  }
  Remove(state);
  if (was_active) ActivateNextAfter(active);
  return std::nullopt;
}

FakeExcel::Outcome FakeExcel::Hide(std::string_view name) {
  auto state = Find(name);
  if (!state) return "no open workbook named " + std::string(name);
  auto active = ActiveWindow();
  const bool was_active = active && active->workbook == state.get();
  if (was_active) {
    RaiseEvent([&](host::IAppEvents& sink) { sink.WindowDeactivate(Wrap(state), Wrap(active)); });
  }
  for (const auto& window : state->windows) window->visible = false;
  if (was_active) ActivateNextAfter(nullptr);
  return std::nullopt;
}

FakeExcel::Outcome FakeExcel::Unhide(std::string_view name) {
  auto state = Find(name);
  if (!state) return "no open workbook named " + std::string(name);
  if (HasVisibleWindow(*state)) return std::string(name) + " is not hidden";
  for (const auto& window : state->windows) window->visible = true;
  SwitchTo(state->windows.front());
  return std::nullopt;
}

FakeExcel::Outcome FakeExcel::NewWindow(std::string_view name) {
  auto state = Find(name);
  if (!state) return "no open workbook named " + std::string(name);
  SwitchTo(AddWindow(state));
  return std::nullopt;
}

void FakeExcel::AttachWindows(FakeWindowSystem& windows, FakeClock& clock) {
  windows_ = &windows;
  clock_ = &clock;
  main_window_ = windows.AddWindow("XLMAIN", "Microsoft Excel", vestrano::Hwnd{},
                                   excel_layout::kMainWindow, true);
  windows.AddWindow("EXCEL;", "", main_window_, excel_layout::kCommandBars, true);
  windows.AddWindow("EXCEL<", "", main_window_, excel_layout::kFormulaBar, true);
  windows.AddWindow("XLDESK", "", main_window_, excel_layout::kDesk, true);
  windows.AddWindow("EXCEL4", "", main_window_, excel_layout::kStatusBar, true);
  windows.Activate(main_window_);
}

void FakeExcel::RunModal(std::string_view class_name, std::string_view title) {
  if (!windows_ || !clock_) return;
  const vestrano::Hwnd focus = windows_->FocusWindow();
  const vestrano::Hwnd dialog =
      windows_->AddWindow(class_name, title, main_window_, excel_layout::kDialog, true);
  ++modal_depth_;
  windows_->SetFocusDirect(dialog);
  for (std::uint64_t passed = 0; passed < excel_layout::kModalMs;
       passed += excel_layout::kModalStepMs) {
    clock_->Advance(excel_layout::kModalStepMs);
  }
  windows_->Destroy(dialog);
  --modal_depth_;
  // Closing a dialog gives the focus back to the window that had it.
  if (windows_->State(focus).alive) windows_->SetFocusDirect(focus);
}

FakeExcel::Outcome FakeExcel::FocusClass(std::string_view class_name) {
  if (!windows_) return "Excel has no windows";
  if (class_name.empty()) return "a window class needs a name";
  const vestrano::Hwnd desk = windows_->Find(main_window_, "XLDESK");
  const bool grid = class_name == kGridClass && desk;
  const vestrano::Hwnd parent = grid ? desk : main_window_;
  vestrano::Hwnd target = windows_->Find(parent, class_name);
  if (!target) {
    const Rect desk_client = windows_->State(desk).client;
    const Rect rect =
        grid ? Rect{0, 0, desk_client.Width(), desk_client.Height()} : excel_layout::kEditBox;
    target = windows_->AddWindow(class_name, "", parent, rect, true);
  }
  if (!windows_->SetFocusDirect(target)) return "the focus change was refused";
  return std::nullopt;
}

void FakeExcel::RaiseWorkbookOpen(std::string_view name) {
  if (auto state = Find(name)) {
    RaiseEvent([&](host::IAppEvents& sink) { sink.WorkbookOpen(Wrap(state)); });
  }
}

std::vector<scenario::WorkbookView> FakeExcel::WorkbookViews() const {
  const FakeWorkbookState* active = ActiveState();
  std::vector<scenario::WorkbookView> views;
  for (const auto& state : workbooks_) {
    views.push_back({state->name, state->saved, !HasVisibleWindow(*state), state.get() == active});
  }
  return views;
}

std::optional<vestrano::Hwnd> FakeExcel::Hwnd() {
  if (!calls_.Enter("Application.Hwnd")) return std::nullopt;
  return main_window_;
}

std::optional<std::uintptr_t> FakeExcel::Hinstance() {
  if (!calls_.Enter("Application.Hinstance")) return std::nullopt;
  return 0x30000000u;
}

std::optional<std::string> FakeExcel::Version() {
  if (!calls_.Enter("Application.Version")) return std::nullopt;
  return version_;
}

std::optional<bool> FakeExcel::Visible() {
  if (!calls_.Enter("Application.Visible")) return std::nullopt;
  return visible_;
}

std::optional<bool> FakeExcel::ShowWindowsInTaskbar() {
  if (!calls_.Enter("Application.ShowWindowsInTaskbar")) return std::nullopt;
  return windows_in_taskbar_;
}

bool FakeExcel::SetShowWindowsInTaskbar(bool show) {
  if (!calls_.Enter("Application.SetShowWindowsInTaskbar")) return false;
  windows_in_taskbar_ = show;
  return true;
}

std::optional<bool> FakeExcel::Ready() {
  if (!calls_.Enter("Application.Ready")) return std::nullopt;
  return ready_ && modal_depth_ == 0;
}

std::optional<bool> FakeExcel::DisplayFormulaBar() {
  if (!calls_.Enter("Application.DisplayFormulaBar")) return std::nullopt;
  return formula_bar_;
}

host::WorkbooksPtr FakeExcel::Workbooks() {
  if (!calls_.Enter("Application.Workbooks")) return nullptr;
  return std::make_shared<FakeWorkbooks>(*this);
}

host::WorkbookPtr FakeExcel::ActiveWorkbook() {
  if (!calls_.Enter("Application.ActiveWorkbook")) return nullptr;
  auto window = ActiveWindow();
  auto state = window ? Owner(*window) : nullptr;
  return state ? Wrap(state) : nullptr;
}

host::CommandBarsPtr FakeExcel::CommandBars() {
  if (!calls_.Enter("Application.CommandBars")) return nullptr;
  return command_bars_.Wrap();
}

bool FakeExcel::SetScreenUpdating(bool on) {
  if (!calls_.Enter("Application.SetScreenUpdating")) return false;
  screen_updating_ = on;
  return true;
}

std::unique_ptr<host::IEventConnection> FakeExcel::ConnectEvents(host::IAppEvents& sink) {
  if (!calls_.Enter("Application.ConnectEvents")) return nullptr;
  return std::make_unique<Connection>(*this, sink);
}

}  // namespace vestrano::fake
