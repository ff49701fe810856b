// The scenario commands on Windows. Every command that acts ends by letting the windows paint,
// as Excel's message loop would before the next thing happens; only `tick` and Excel's modal
// windows let time pass and timers run.
#include "xlsim/win32/scenario_player.h"

#include <istream>
#include <ostream>

#include "scenario/command_words.h"
#include "scenario/observation_lines.h"
#include "scenario/script_lexer.h"
#include "xlsim/excel_bars.h"
#include "xlsim/win32/addin_dialogs.h"
#include "xlsim/win32/popup_menu.h"
#include "xlsim/win32/tab_row_reader.h"
#include "xlsim/win32/text.h"
#include "xlsim/win32/user_input.h"

namespace vestrano::xlsim::win32 {
namespace {

using scenario::ParseNumber;

constexpr std::size_t kAnyCount = 1000;
constexpr std::string_view kDefaultFolder = "C:\\Data";
constexpr std::string_view kAddinKey = "SOFTWARE\\Microsoft\\Shared Tools\\Vestrano";
constexpr std::string_view kToolsButtonCaption = "显示标签栏";
// Where a click lands: half-way down the strip, in the middle of a tab, or past the last one.
constexpr int kRowMiddle = 10;
constexpr int kPastLastTab = 20;

// Commands that only look; everything else may change what the windows show.
constexpr std::string_view kObservations[] = {"tabs", "tab",     "workbooks", "strip", "bar",
                                              "menu", "taskbar", "dialog",    "expect"};

bool IsOneOf(std::string_view word, std::span<const std::string_view> list) {
  for (std::string_view entry : list) {
    if (word == entry) return true;
  }
  return false;
}

scenario::Box Box(const RECT& rect) {
  return {rect.left, rect.top, rect.right, rect.bottom};
}

// The options dialog's controls, as the user reads them.
constexpr const wchar_t* kStyleCaptions[] = {L"清爽风格", L"豪华风格", L"清新风格"};
constexpr std::wstring_view kAboveCaption = L"工作区上方";
constexpr std::wstring_view kBelowCaption = L"工作区下方";
constexpr std::wstring_view kTaskbarCaption = L"在任务栏显示所有Excel窗口";
constexpr std::wstring_view kOkCaption = L"确定";
// The ribbon's buttons that open the dialogs.
constexpr std::string_view kOptionsButton = "Vestrano选项";
constexpr std::string_view kAboutButton = "关于Vestrano";

}  // namespace

ScenarioPlayer::ScenarioPlayer(std::ostream& out, std::ostream& err, FailureSource failures)
    : out_(out), err_(err), failures_(std::move(failures)) {
  excel_ = std::make_unique<Excel>();
  addins_ = std::make_unique<AddinHost>(
      *excel_, [this](const std::string& what) { reported_.push_back(what); });
  RegisterCommands();
}

ScenarioPlayer::~ScenarioPlayer() {
  // Excel disconnects its add-ins as it closes, before its windows go.
  excel_->ClosePopup();
  addins_.reset();
  excel_.reset();
}

void ScenarioPlayer::Add(std::string name, std::size_t min_words, std::size_t max_words,
                         Command command) {
  commands_.emplace(std::move(name), Entry{min_words, max_words, std::move(command)});
}

ScenarioPlayer::Result ScenarioPlayer::FromOutcome(const std::optional<std::string>& outcome) {
  if (outcome) return {Result::kRefused, *outcome};
  return {};
}

void ScenarioPlayer::RegisterCommands() {
  ExcelModel& model = excel_->Model();
  const auto flag_command = [](std::function<void(bool)> set) {
    return [set = std::move(set)](const Words& w) -> Result {
      auto value = scenario::ParseFlag(w[1]);
      if (!value) return {Result::kScriptError, "bad number: " + w[1]};
      set(*value);
      return {};
    };
  };
  Add("version", 2, 2, [&model](const Words& w) -> Result {
    model.version = w[1];
    return {};
  });
  Add("visible", 2, 2, flag_command([this](bool v) {
        excel_->Model().visible = v;
        excel_->Windows().ShowMain(v);
      }));
  Add("ready", 2, 2, flag_command([&model](bool v) { model.ready = v; }));
  Add("formulabar", 2, 2, flag_command([this](bool v) {
        excel_->Model().display_formula_bar = v;
        excel_->Windows().ShowFormulaBar(v);
      }));
  Add("reg", 3, kAnyCount, [this](const Words& w) { return Reg(w); });

  Add("open", 2, 3, [&model](const Words& w) {
    return FromOutcome(model.Open(w[1], w.size() > 2 ? std::string_view(w[2]) : kDefaultFolder));
  });
  Add("new", 1, 1, [&model](const Words&) { return FromOutcome(model.New()); });
  Add("activate", 2, 2, [&model](const Words& w) { return FromOutcome(model.Activate(w[1])); });
  Add("edit", 1, 1, [&model](const Words&) { return FromOutcome(model.Edit()); });
  Add("select", 1, 1, [&model](const Words&) { return FromOutcome(model.SelectionChange()); });
  Add("sheet", 1, 1, [&model](const Words&) { return FromOutcome(model.SheetChange()); });
  Add("save", 1, 1, [&model](const Words&) { return FromOutcome(model.Save()); });
  Add("saveas", 2, 3, [&model](const Words& w) {
    return FromOutcome(model.SaveAs(w[1], w.size() > 2 ? std::string_view(w[2]) : kDefaultFolder));
  });
  Add("close", 2, 2, [&model](const Words& w) { return FromOutcome(model.Close(w[1])); });
  Add("answer", 2, 2, [&model](const Words& w) -> Result {
    if (w[1] == "save")
      model.save_answer = SaveAnswer::kSave;
    else if (w[1] == "discard")
      model.save_answer = SaveAnswer::kDiscard;
    else if (w[1] == "cancel")
      model.save_answer = SaveAnswer::kCancel;
    else
      return {Result::kScriptError, "answer must be save, discard or cancel"};
    return {};
  });
  Add("hide", 2, 2, [&model](const Words& w) { return FromOutcome(model.Hide(w[1])); });
  Add("unhide", 2, 2, [&model](const Words& w) { return FromOutcome(model.Unhide(w[1])); });
  Add("window", 2, 2, [&model](const Words& w) { return FromOutcome(model.NewWindow(w[1])); });

  Add("connect", 1, 2, [this](const Words& w) { return Connect(w); });
  Add("disconnect", 1, 1, [this](const Words&) -> Result {
    addins_->Disconnect();
    return {};
  });
  Add("tick", 1, 2, [](const Words& w) -> Result {
    const auto ms = scenario::ParseTick(w);
    if (const auto* error = std::get_if<std::string>(&ms)) return {Result::kScriptError, *error};
    PumpFor(std::get<std::uint32_t>(ms));
    return {};
  });
  Add("focus", 2, 2, [this](const Words& w) { return FromOutcome(excel_->Windows().Focus(w[1])); });
  Add("click", 2, 2, [this](const Words& w) { return Click(w, false, 1); });
  Add("dblclick", 2, 2, [this](const Words& w) { return Click(w, false, 2); });
  Add("rclick", 2, 2, [this](const Words& w) {
    Result result = Click(w, true, 1);
    if (result.kind == Result::kDone) {
      if (auto popup = excel_->OpenPopupName()) out_ << "popup " << *popup << '\n';
    }
    return result;
  });
  Add("choose", 2, 2, [this](const Words& w) { return Choose(w); });
  Add("tools", 2, 2, [this](const Words& w) { return Tools(w); });
  Add("ribbon", 2, 3, [this](const Words& w) { return Ribbon(w); });
  Add("options", 2, kAnyCount, [this](const Words& w) { return Options(w); });
  Add("about", 2, 2, [this](const Words& w) { return About(w); });

  const auto observation = [this](const Words& w) {
    std::vector<std::string> lines;
    Result result = Observe(w, lines);
    if (result.kind == Result::kDone) {
      for (const auto& line : lines) out_ << line << '\n';
    }
    return result;
  };
  Add("tabs", 1, 1, observation);
  Add("tab", 2, 2, observation);
  Add("workbooks", 1, 1, observation);
  Add("strip", 1, 1, observation);
  Add("bar", 1, 1, observation);
  Add("menu", 2, 2, observation);
  Add("taskbar", 1, 1, observation);
  Add("dialog", 1, 1, observation);
}

int ScenarioPlayer::Run(std::istream& script) {
  script_ = &script;
  status_ = kRunPassed;
  PlayLines(nullptr);
  // A failure the add-in caught and reported is a fault of its own.
  if (failures_) {
    for (const auto& failure : failures_()) {
      err_ << "failure reported: " << failure << '\n';
      if (status_ == kRunPassed) status_ = kRunExpectationFailed;
    }
  }
  return status_;
}

void ScenarioPlayer::PlayLines(const std::function<bool()>& done) {
  std::string line;
  while (status_ != kRunScriptError && !(done && done()) && std::getline(*script_, line)) {
    const int number = ++line_number_;
    const auto lexed = scenario::SplitWords(line);
    Result result;
    if (!lexed.error.empty()) {
      result = {Result::kScriptError, lexed.error};
    } else if (lexed.words.empty() || lexed.words.front().starts_with('#')) {
      continue;
    } else if (lexed.words.front() == "expect") {
      result = Expect(line);
    } else {
      result = Execute(lexed.words);
    }
    for (const auto& what : reported_) err_ << "line " << number << ": Excel: " << what << '\n';
    reported_.clear();
    if (result.kind == Result::kDone) continue;
    err_ << "line " << number << ": " << result.message << '\n';
    if (result.kind == Result::kScriptError) status_ = kRunScriptError;
    if (result.kind == Result::kMismatch && status_ == kRunPassed) status_ = kRunExpectationFailed;
  }
}

void ScenarioPlayer::PlayWhileOpen(HWND dialog) {
  PlayLines([dialog] { return !IsWindowVisible(dialog); });
  if (!IsWindowVisible(dialog)) return;
  // The script ended, or failed, with the dialog up: close it, or the add-in's call never returns.
  err_ << "line " << line_number_ << ": the script left the add-in's dialog open\n";
  status_ = kRunScriptError;
  if (ClickCloseBox(dialog)) PostMessageW(dialog, WM_CLOSE, 0, 0);
}

ScenarioPlayer::Result ScenarioPlayer::Execute(const Words& words) {
  const auto it = commands_.find(words.front());
  if (it == commands_.end()) return {Result::kScriptError, "unknown command: " + words.front()};
  const auto& [min_words, max_words, command] = it->second;
  if (words.size() < min_words || words.size() > max_words) {
    return {Result::kScriptError, "wrong number of words for " + words.front()};
  }
  if (scenario::IsUserAction(words.front())) excel_->ClosePopup();
  Result result;
  const auto run = [&] { result = command(words); };
  const bool plays_own_dialog = words.front() == "options" || words.front() == "about";
  if (IsOneOf(words.front(), kObservations) || plays_own_dialog) {
    run();
  } else {
    // A dialog that the command opens (the workbook menu's options) is the script's to play
    // through: its next lines run inside the dialog's modal loop until it closes.
    WhileDialogMayOpen(excel_->Windows().Main(), run,
                       [this](HWND dialog) { PlayWhileOpen(dialog); });
  }
  if (!IsOneOf(words.front(), kObservations)) PaintNow();
  return result;
}

ScenarioPlayer::Result ScenarioPlayer::Expect(const std::string& line) {
  const std::string expected = scenario::RestAfterFirstWord(line);
  const auto words = scenario::ObservationFor(
      expected, last_reg_path_.empty() ? std::string(kAddinKey) : last_reg_path_);
  if (!words) return {Result::kScriptError, "expect names no observation: " + expected};
  std::vector<std::string> lines;
  Result result = Observe(*words, lines);
  if (result.kind == Result::kScriptError) return result;
  std::string actual = lines.empty() ? std::string() : lines.front();
  if (result.kind == Result::kRefused) actual = "(" + result.message + ")";
  if (actual == expected) return {};
  return {Result::kMismatch, "expected <" + expected + "> got <" + actual + ">"};
}

ScenarioPlayer::Result ScenarioPlayer::Observe(const Words& words,
                                               std::vector<std::string>& lines) {
  std::string line;
  Result result;
  if (words[0] == "tabs") {
    result = ObserveTabs(line);
  } else if (words[0] == "tab") {
    result = ObserveTab(words, line);
  } else if (words[0] == "workbooks") {
    line = scenario::WorkbooksLine(excel_->Model().Views());
  } else if (words[0] == "reg") {
    result = ObserveRegistry(words, line);
  } else if (words[0] == "strip") {
    result = ObserveStrip(line);
  } else if (words[0] == "bar") {
    result = ObserveBar(line);
  } else if (words[0] == "menu") {
    line = scenario::MenuLine(words[1], excel_->Bars().Describe(words[1]));
  } else if (words[0] == "taskbar") {
    line = std::string("taskbar: ") + (excel_->Model().show_windows_in_taskbar ? "1" : "0");
  } else if (words[0] == "dialog") {
    lines = ObserveDialogs();
    return {};
  } else if (words[0] == "ribbon") {
    if (words.size() > 1 && words[1] == "pressed") {
      const auto pressed = addins_->RibbonPressed();
      if (!pressed) return {Result::kRefused, "the ribbon has no check box"};
      line = std::string("ribbon pressed: ") + (*pressed ? "1" : "0");
    } else {
      line = "ribbon: " + addins_->RibbonMarkup().value_or("");
    }
  } else {
    return {Result::kScriptError, "unknown observation: " + words[0]};
  }
  if (result.kind == Result::kDone) lines.push_back(line);
  return result;
}

ScenarioPlayer::Result ScenarioPlayer::ObserveTabs(std::string& line) {
  const HWND main = excel_->Windows().Main();
  const HWND bar = FindTabBar(main);
  const HWND row = FindTabRow(bar);
  std::optional<std::vector<TabOnScreen>> tabs;
  if (bar && row && ShownInExcel(bar, main)) tabs = ReadTabRow(row);
  if (!tabs) {
    line = scenario::TabsLine(nullptr);
    return {};
  }
  std::vector<scenario::TabView> views;
  for (const auto& tab : *tabs) views.push_back(tab.view);
  line = scenario::TabsLine(&views);
  return {};
}

ScenarioPlayer::Result ScenarioPlayer::ObserveTab(const Words& words, std::string& line) {
  const auto index = ParseNumber(words[1]);
  if (!index) return {Result::kScriptError, "bad number: " + words[1]};
  const HWND row = FindTabRow(FindTabBar(excel_->Windows().Main()));
  const auto tabs = row ? ReadTabRow(row) : std::nullopt;
  if (!tabs || *index < 0 || *index >= static_cast<long long>(tabs->size())) {
    return {Result::kRefused, "there is no tab " + words[1]};
  }
  const int i = static_cast<int>(*index);
  line = scenario::TabLine(i, (*tabs)[static_cast<std::size_t>(i)].view);
  return {};
}

ScenarioPlayer::Result ScenarioPlayer::ObserveStrip(std::string& line) {
  const HWND main = excel_->Windows().Main();
  const HWND desk = FindWindowExW(main, nullptr, L"XLDESK", nullptr);
  if (!desk) return {Result::kRefused, "Excel has no workbook area"};
  RECT client{};
  GetClientRect(desk, &client);
  MapWindowPoints(desk, main, reinterpret_cast<POINT*>(&client), 2);
  line = scenario::StripLine(InMainClient(desk, main), Box(client));
  return {};
}

ScenarioPlayer::Result ScenarioPlayer::ObserveBar(std::string& line) {
  const HWND main = excel_->Windows().Main();
  const HWND bar = FindTabBar(main);
  if (!bar) {
    line = scenario::BarLine(std::nullopt);
    return {};
  }
  line = scenario::BarLine(scenario::BarView{ShownInExcel(bar, main), InMainClient(bar, main)});
  return {};
}

ScenarioPlayer::Result ScenarioPlayer::ObserveRegistry(const Words& words, std::string& line) {
  if (words.size() != 4) return {Result::kScriptError, "reg get needs PATH and NAME"};
  last_reg_path_ = words[2];
  line = scenario::RegLine(words[3], ReadRegistryValue(words[2], words[3]));
  return {};
}

std::vector<std::string> ScenarioPlayer::ObserveDialogs() {
  const auto titles = AddinDialogTitles(excel_->Windows().Main());
  if (titles.empty()) return {"dialog: (none)"};
  std::vector<std::string> lines;
  for (const auto& title : titles) lines.push_back("dialog: " + title);
  return lines;
}

ScenarioPlayer::Result ScenarioPlayer::Reg(const Words& w) {
  if (w[1] == "get") {
    std::string line;
    Result result = ObserveRegistry(w, line);
    if (result.kind == Result::kDone) out_ << line << '\n';
    return result;
  }
  if (w[1] == "set") {
    if (w.size() >= 3) last_reg_path_ = w[2];
    auto parsed = scenario::ParseRegSet(w);
    if (auto* error = std::get_if<std::string>(&parsed)) return {Result::kScriptError, *error};
    const auto& request = std::get<scenario::RegSetRequest>(parsed);
    registry_.Keep(request.path);
    if (!WriteRegistryValue(request.path, request.name, request.value)) {
      return {Result::kRefused, "the registry refused " + request.path};
    }
    return {};
  }
  if (w[1] == "delete") {
    if (w.size() > 4) return {Result::kScriptError, "reg delete takes PATH [NAME]"};
    last_reg_path_ = w[2];
    registry_.Keep(w[2]);
    const bool deleted = w.size() == 4 ? DeleteRegistryValue(w[2], w[3]) : DeleteRegistryKey(w[2]);
    if (!deleted) return {Result::kRefused, "nothing to delete at " + w[2]};
    return {};
  }
  return {Result::kScriptError, "unknown reg command: " + w[1]};
}

ScenarioPlayer::Result ScenarioPlayer::Connect(const Words& w) {
  const auto mode = scenario::ParseConnectMode(w);
  if (const auto* error = std::get_if<std::string>(&mode)) return {Result::kScriptError, *error};
  return FromOutcome(addins_->Connect(std::get<int>(mode)));
}

ScenarioPlayer::Result ScenarioPlayer::Click(const Words& w, bool right, int times) {
  const auto target = scenario::ParseClickTarget(w[1]);
  if (const auto* error = std::get_if<std::string>(&target)) return {Result::kScriptError, *error};
  const auto [tab, no_such_tab] = std::get<scenario::ClickTarget>(target);
  if (no_such_tab) return {Result::kRefused, "there is no tab " + w[1]};
  const int index = tab.value_or(-1);
  const Result missing{Result::kRefused,
                       index < 0 ? "the tab bar is not shown" : "there is no tab " + w[1]};
  const HWND main = excel_->Windows().Main();
  const HWND bar = FindTabBar(main);
  const HWND row = FindTabRow(bar);
  if (!bar || !row || !ShownInExcel(bar, main)) return missing;
  const auto tabs = ReadTabRow(row);
  if (!tabs || index >= static_cast<int>(tabs->size())) return missing;
  RECT strip{};
  GetWindowRect(row, &strip);
  POINT point{};
  if (index >= 0) {
    const RECT& tab = (*tabs)[static_cast<std::size_t>(index)].rect;
    if (IsRectEmpty(&tab)) return {Result::kRefused, "tab " + w[1] + " is scrolled out of sight"};
    point = {(tab.left + tab.right) / 2, tab.top + kRowMiddle};
  } else {
    const LONG after = tabs->empty() ? strip.left : tabs->back().rect.right;
    point = {after + kPastLastTab, strip.top + kRowMiddle};
  }
  if (!MouseClick(point, right ? MouseButton::kRight : MouseButton::kLeft, times)) {
    return {Result::kRefused, "the mouse could not be moved there"};
  }
  return {};
}

ScenarioPlayer::Result ScenarioPlayer::Choose(const Words& w) {
  PopupMenu* popup = excel_->OpenPopup();
  if (!popup || !excel_->OpenPopupName()) return {Result::kRefused, "no popup is open"};
  const ControlRef item = popup->Find(w[1]);
  if (!item) return {Result::kRefused, "the popup " + popup->Name() + " has no item " + w[1]};
  if (!item->enabled) return {Result::kRefused, "the item " + w[1] + " is disabled"};
  const auto rect = popup->ScreenRectOf(item);
  if (!rect) return {Result::kRefused, "the item " + w[1] + " is not shown"};
  const POINT point{(rect->left + rect->right) / 2, (rect->top + rect->bottom) / 2};
  if (!MouseClick(point, MouseButton::kLeft, 1)) {
    return {Result::kRefused, "the mouse could not be moved there"};
  }
  if (excel_->OpenPopup() == popup) return {Result::kRefused, "the click missed " + w[1]};
  return {};
}

ScenarioPlayer::Result ScenarioPlayer::Tools(const Words& w) {
  if (w[1] != "click") return {Result::kScriptError, "tools takes click, not " + w[1]};
  auto& bars = excel_->Bars();
  const ControlRef tools = bars.FindControl(std::nullopt, kToolsMenuId, std::nullopt, false);
  if (!tools) return {Result::kRefused, "Excel has no Tools menu"};
  for (const auto& control : CommandBarModel::ControlsOf(tools)) {
    if (control->caption != kToolsButtonCaption) continue;
    if (!control->enabled) {
      return {Result::kRefused,
              "the Tools menu's " + std::string(kToolsButtonCaption) + " is disabled"};
    }
    bars.Click(control);
    return {};
  }
  return {Result::kRefused, "the Tools menu has no " + std::string(kToolsButtonCaption)};
}

ScenarioPlayer::Result ScenarioPlayer::Ribbon(const Words& w) {
  if (w[1] == "xml" || w[1] == "pressed") {
    if (w.size() != 2) return {Result::kScriptError, "wrong number of words for ribbon"};
    std::vector<std::string> lines;
    Result result = Observe(w, lines);
    for (const auto& line : lines) out_ << line << '\n';
    return result;
  }
  if (w[1] == "toggle") {
    if (w.size() != 3) return {Result::kScriptError, "wrong number of words for ribbon"};
    const auto pressed = scenario::ParseFlag(w[2]);
    if (!pressed) return {Result::kScriptError, "bad number: " + w[2]};
    return FromOutcome(addins_->RibbonToggle(*pressed));
  }
  return {Result::kScriptError, "unknown ribbon command: " + w[1]};
}

ScenarioPlayer::Result ScenarioPlayer::Options(const Words& w) {
  const auto parsed = scenario::ParseOptions(w);
  if (const auto* error = std::get_if<std::string>(&parsed)) return {Result::kScriptError, *error};
  const auto& request = std::get<scenario::OptionsRequest>(parsed);
  // Each step as the control the user clicks; for the check box, the state wanted.
  struct Step {
    std::wstring_view caption;
    std::optional<bool> check;
  };
  std::vector<Step> steps;
  for (const auto& step : request.steps) {
    switch (step.kind) {
      case scenario::OptionStep::kPosition:
        steps.push_back({step.value == 0 ? kAboveCaption : kBelowCaption, std::nullopt});
        break;
      case scenario::OptionStep::kStyle:
        steps.push_back({kStyleCaptions[step.value], std::nullopt});
        break;
      case scenario::OptionStep::kTaskbar:
        steps.push_back({kTaskbarCaption, step.value != 0});
        break;
    }
  }
  const auto play = [&](HWND dialog, bool opened_here) -> Result {
    for (const auto& step : steps) {
      if (step.check && IsControlChecked(dialog, step.caption) == *step.check) continue;
      if (auto refused = ClickControl(dialog, step.caption)) {
        // A dialog that this command opened goes again, so that the refusal changes nothing.
        if (opened_here) ClickCloseBox(dialog);
        return {Result::kRefused, *refused};
      }
    }
    return FromOutcome(request.ok ? ClickControl(dialog, kOkCaption) : ClickCloseBox(dialog));
  };
  const HWND main = excel_->Windows().Main();
  if (const HWND open = FindAddinDialog(main)) return play(open, false);
  Result result{Result::kRefused, "the options dialog did not open"};
  WhileDialogMayOpen(
      main, [&] { addins_->RibbonClick(kOptionsButton); },
      [&](HWND dialog) { result = play(dialog, true); });
  return result;
}

ScenarioPlayer::Result ScenarioPlayer::About(const Words& w) {
  if (w[1] != "ok" && w[1] != "close") return {Result::kScriptError, "about takes ok or close"};
  Result result{Result::kRefused, "the about box did not open"};
  WhileDialogMayOpen(
      excel_->Windows().Main(), [&] { addins_->RibbonClick(kAboutButton); },
      [&](HWND dialog) {
        result =
            FromOutcome(w[1] == "ok" ? ClickControl(dialog, kOkCaption) : ClickCloseBox(dialog));
      });
  return result;
}

}  // namespace vestrano::xlsim::win32
