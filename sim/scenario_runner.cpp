// The scenario runner: one command a line, dispatched through a table of commands that knows
// each command's word count, so that a malformed script stops before it touches the host.
#include "sim/scenario_runner.h"

#include <algorithm>
#include <istream>
#include <ostream>
#include <variant>

#include "core/settings_keys.h"
#include "host/registry.h"
#include "scenario/command_words.h"
#include "scenario/observation_lines.h"
#include "scenario/script_lexer.h"

namespace vestrano::sim {

using scenario::ParseNumber;
using scenario::RestAfterFirstWord;
using scenario::SplitWords;

namespace {

constexpr std::size_t kAnyCount = 1000;
constexpr std::string_view kDefaultFolder = "C:\\Data";
constexpr int kLeftButton = 1;
constexpr int kRightButton = 2;
constexpr std::string_view kToolsButtonCaption = "显示标签栏";

scenario::Box ToBox(const Rect& rect) {
  return {rect.left, rect.top, rect.right, rect.bottom};
}

std::string UpToNul(std::string_view bytes) {
  return std::string(bytes.substr(0, bytes.find('\0')));
}

// The registry holds text as the add-in's ANSI registry calls store it, in the ANSI code page;
// the scenario language writes it in UTF-8.
scenario::RegValue FromStored(fake::FakeRegistry& registry, const fake::StoredValue& stored) {
  const std::string& bytes = stored.bytes;
  scenario::RegValue value;
  value.type = stored.type;
  switch (stored.type) {
    case host::kRegSz:
    case host::kRegExpandSz:
      value.texts = {registry.FromAnsi(UpToNul(bytes))};
      break;
    case host::kRegMultiSz:
      // An empty string ends the list, as it does for Windows.
      for (std::size_t start = 0; start < bytes.size() && bytes[start] != '\0';) {
        const std::size_t end = std::min(bytes.find('\0', start), bytes.size());
        value.texts.push_back(registry.FromAnsi(bytes.substr(start, end - start)));
        start = end + 1;
      }
      break;
    case host::kRegDword:
      // A value too short for a DWORD shows the bytes it has.
      for (std::size_t i = 0; i < bytes.size() && i < 4; ++i) {
        value.number |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
      }
      break;
    default:
      value.bytes = bytes;
      break;
  }
  return value;
}

std::string ToStored(fake::FakeRegistry& registry, const scenario::RegValue& value) {
  std::string bytes;
  switch (value.type) {
    case host::kRegSz:
    case host::kRegExpandSz:
      bytes = registry.ToAnsi(value.texts.empty() ? "" : value.texts.front()) + '\0';
      break;
    case host::kRegMultiSz:
      for (const std::string& text : value.texts) bytes += registry.ToAnsi(text) + '\0';
      bytes += '\0';
      break;
    case host::kRegDword:
      for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<char>((value.number >> (8 * i)) & 0xFF));
      break;
    default:
      bytes = value.bytes;
      break;
  }
  return bytes;
}

}  // namespace

ScenarioRunner::ScenarioRunner(std::ostream& out, std::ostream& err, RunOptions options)
    : out_(out), err_(err), options_(options) {
  RegisterCommands();
}

void ScenarioRunner::Add(std::string name, std::size_t min_words, std::size_t max_words,
                         Command command) {
  commands_.emplace(std::move(name), Entry{min_words, max_words, std::move(command)});
}

ScenarioRunner::Result ScenarioRunner::FromOutcome(const std::optional<std::string>& outcome) {
  if (outcome) return {Result::kRefused, *outcome};
  return {};
}

void ScenarioRunner::RegisterCommands() {
  auto& excel = *host_.excel;
  const auto flag_command = [](std::function<void(bool)> set) {
    return [set = std::move(set)](const Words& w) -> Result {
      auto value = scenario::ParseFlag(w[1]);
      if (!value) return {Result::kScriptError, "bad number: " + w[1]};
      set(*value);
      return {};
    };
  };
  Add("version", 2, 2, [&excel](const Words& w) -> Result {
    excel.SetVersion(w[1]);
    return {};
  });
  Add("visible", 2, 2, flag_command([&excel](bool v) { excel.SetVisible(v); }));
  Add("ready", 2, 2, flag_command([&excel](bool v) { excel.SetReady(v); }));
  Add("formulabar", 2, 2, flag_command([&excel](bool v) { excel.SetDisplayFormulaBar(v); }));
  Add("reg", 3, kAnyCount, [this](const Words& w) -> Result {
    if (w[1] == "set") return RegSet(w);
    if (w[1] == "delete") return RegDelete(w);
    if (w[1] == "get") {
      std::string line;
      Result result = ObserveRegistry(w, line);
      if (result.kind == Result::kDone) out_ << line << '\n';
      return result;
    }
    return {Result::kScriptError, "unknown reg command: " + w[1]};
  });

  Add("open", 2, 3, [&excel](const Words& w) {
    return FromOutcome(excel.Open(w[1], w.size() > 2 ? std::string_view(w[2]) : kDefaultFolder));
  });
  Add("new", 1, 1, [&excel](const Words&) { return FromOutcome(excel.New()); });
  Add("activate", 2, 2, [&excel](const Words& w) { return FromOutcome(excel.Activate(w[1])); });
  Add("edit", 1, 1, [&excel](const Words&) { return FromOutcome(excel.Edit()); });
  Add("select", 1, 1, [&excel](const Words&) { return FromOutcome(excel.SelectionChange()); });
  Add("sheet", 1, 1, [&excel](const Words&) { return FromOutcome(excel.SheetChange()); });
  Add("save", 1, 1, [&excel](const Words&) { return FromOutcome(excel.Save()); });
  Add("saveas", 2, 3, [&excel](const Words& w) {
    return FromOutcome(excel.SaveAs(w[1], w.size() > 2 ? std::string_view(w[2]) : kDefaultFolder));
  });
  Add("close", 2, 2, [&excel](const Words& w) { return FromOutcome(excel.Close(w[1])); });
  Add("answer", 2, 2, [&excel](const Words& w) -> Result {
    if (w[1] == "save")
      excel.SetSaveAnswer(fake::SaveAnswer::kSave);
    else if (w[1] == "discard")
      excel.SetSaveAnswer(fake::SaveAnswer::kDiscard);
    else if (w[1] == "cancel")
      excel.SetSaveAnswer(fake::SaveAnswer::kCancel);
    else
      return {Result::kScriptError, "answer must be save, discard or cancel"};
    return {};
  });
  Add("hide", 2, 2, [&excel](const Words& w) { return FromOutcome(excel.Hide(w[1])); });
  Add("unhide", 2, 2, [&excel](const Words& w) { return FromOutcome(excel.Unhide(w[1])); });
  Add("window", 2, 2, [&excel](const Words& w) { return FromOutcome(excel.NewWindow(w[1])); });

  Add("connect", 1, 2, [this](const Words& w) { return Connect(w); });
  Add("disconnect", 1, 1, [this](const Words&) -> Result {
    if (host_.addin) host_.addin->AddinInstance_OnDisconnection();
    script_connected_ = false;
    return {};
  });
  Add("tick", 1, 2, [this](const Words& w) -> Result {
    const auto ms = scenario::ParseTick(w);
    if (const auto* error = std::get_if<std::string>(&ms)) return {Result::kScriptError, *error};
    host_.clock.Advance(std::get<std::uint32_t>(ms));
    return {};
  });
  Add("focus", 2, 2, [&excel](const Words& w) { return FromOutcome(excel.FocusClass(w[1])); });
  Add("click", 2, 2, [this](const Words& w) { return Click(w, kLeftButton, 1); });
  Add("dblclick", 2, 2, [this](const Words& w) { return Click(w, kLeftButton, 2); });
  Add("rclick", 2, 2, [this, &excel](const Words& w) {
    Result result = Click(w, kRightButton, 1);
    if (result.kind == Result::kDone) {
      if (auto popup = excel.Bars().OpenPopup()) out_ << "popup " << *popup << '\n';
    }
    return result;
  });
  Add("choose", 2, 2, [&excel](const Words& w) { return FromOutcome(excel.Bars().Choose(w[1])); });
  Add("tools", 2, 2, [&excel](const Words& w) -> Result {
    if (w[1] != "click") return {Result::kScriptError, "tools takes click, not " + w[1]};
    return FromOutcome(excel.Bars().ClickTools(kToolsButtonCaption));
  });

  Add("ribbon", 2, 3, [this](const Words& w) { return Ribbon(w); });
  Add("options", 2, 7, [this](const Words& w) { return Options(w); });
  Add("about", 2, 2, [this](const Words& w) { return About(w); });

  const auto observation = [this](const Words& w) {
    std::string line;
    Result result = Observe(w, line);
    if (result.kind == Result::kDone) out_ << line << '\n';
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

int ScenarioRunner::Run(std::istream& script) {
  int status = kRunPassed;
  std::string line;
  for (int number = 1; std::getline(script, line); ++number) {
    const auto lexed = SplitWords(line);
    Result result;
    if (!lexed.error.empty()) {
      result = {Result::kScriptError, lexed.error};
    } else if (lexed.words.empty() || lexed.words.front().starts_with('#')) {
      continue;
    } else if (lexed.words.front() == "expect") {
      if (!options_.check_expectations) continue;
      result = Expect(line);
    } else {
      result = Execute(lexed.words);
    }
    if (result.kind == Result::kDone) continue;
    err_ << "line " << number << ": " << result.message << '\n';
    if (result.kind == Result::kScriptError) return kRunScriptError;
    if (result.kind == Result::kMismatch) status = kRunExpectationFailed;
  }
  // A failure the add-in caught is a fault of its own unless the run provoked it.
  const auto& diagnostics = host_.diagnostics;
  for (const auto& failure : diagnostics.Failures()) {
    err_ << "failure reported in " << failure.where << ": " << failure.what << '\n';
  }
  if (!diagnostics.Failures().empty() && !diagnostics.FailuresExpected()) {
    status = kRunExpectationFailed;
  }
  return status;
}

ScenarioRunner::Result ScenarioRunner::Execute(const Words& words) {
  const auto it = commands_.find(words.front());
  if (it == commands_.end()) return {Result::kScriptError, "unknown command: " + words.front()};
  const auto& [min_words, max_words, command] = it->second;
  if (words.size() < min_words || words.size() > max_words) {
    return {Result::kScriptError, "wrong number of words for " + words.front()};
  }
  const bool observes_ribbon =
      words.front() == "ribbon" && (words[1] == "xml" || words[1] == "pressed");
  if (scenario::IsUserAction(words.front()) && !observes_ribbon) {
    // A modal dialog keeps Excel's window disabled: only the dialog itself takes the user's
    // actions.
    if (auto title = host_.dialogs.OpenTitle(); title && words.front() != "options") {
      return {Result::kRefused, std::string(*title) + " is open over Excel"};
    }
    host_.excel->Bars().ClosePopup();
  }
  return command(words);
}

ScenarioRunner::Result ScenarioRunner::Expect(const std::string& line) {
  const std::string expected = RestAfterFirstWord(line);
  const auto words = scenario::ObservationFor(
      expected, last_reg_path_.empty() ? std::string(kVestranoKey) : last_reg_path_);
  if (!words) return {Result::kScriptError, "expect names no observation: " + expected};
  std::string actual;
  Result result = Observe(*words, actual);
  if (result.kind == Result::kScriptError) return result;
  if (result.kind == Result::kRefused) actual = "(" + result.message + ")";
  if (actual == expected) return {};
  return {Result::kMismatch, "expected <" + expected + "> got <" + actual + ">"};
}

ScenarioRunner::Result ScenarioRunner::Observe(const Words& words, std::string& line) {
  if (words[0] == "tabs") return ObserveTabs(line);
  if (words[0] == "tab") return ObserveTab(words, line);
  if (words[0] == "workbooks") {
    line = scenario::WorkbooksLine(host_.excel->WorkbookViews());
    return {};
  }
  if (words[0] == "reg") return ObserveRegistry(words, line);
  if (words[0] == "strip") return ObserveStrip(line);
  if (words[0] == "bar") return ObserveBar(line);
  if (words[0] == "taskbar") {
    line = std::string("taskbar: ") + (host_.excel->WindowsInTaskbar() ? "1" : "0");
    return {};
  }
  if (words[0] == "dialog") {
    const auto title = host_.dialogs.OpenTitle();
    line = "dialog: " + std::string(title ? *title : "(none)");
    return {};
  }
  if (words[0] == "ribbon" && words[1] == "xml") {
    line = "ribbon: " + Addin().GetRibbonXML();
    return {};
  }
  if (words[0] == "ribbon" && words[1] == "pressed") {
    line = std::string("ribbon pressed: ") + (Addin().GetPressed() ? "1" : "0");
    return {};
  }
  if (words[0] == "menu") {
    line = scenario::MenuLine(words[1], host_.excel->Bars().MenuItems(words[1]));
    return {};
  }
  return {Result::kScriptError, "unknown observation: " + words[0]};
}

ScenarioRunner::Result ScenarioRunner::Click(const Words& w, int button, int times) {
  const auto target = scenario::ParseClickTarget(w[1]);
  if (const auto* error = std::get_if<std::string>(&target)) return {Result::kScriptError, *error};
  const auto [tab, no_such_tab] = std::get<scenario::ClickTarget>(target);
  if (no_such_tab) return {Result::kRefused, "there is no tab " + w[1]};
  const int index = tab.value_or(-1);
  const auto point = host_.ClickPoint(index);
  if (!point) {
    return {Result::kRefused, index < 0 ? "the tab bar is not shown" : "there is no tab " + w[1]};
  }
  for (int i = 0; i < times; ++i) {
    // Looked up again: the first click may have unloaded the bar.
    if (auto* strip = host_.TabStrip()) strip->Press(button, point->x, point->y);
  }
  return {};
}

ScenarioRunner::Result ScenarioRunner::ObserveStrip(std::string& line) {
  const Hwnd desk = host_.windows.Find(host_.MainWindow(), "XLDESK");
  if (!desk) return {Result::kRefused, "Excel has no workbook area"};
  const Rect window = host_.windows.RectInParent(desk);
  const Rect client = host_.windows.ClientRectInParent(desk);
  line = scenario::StripLine(ToBox(window), ToBox(client));
  return {};
}

ScenarioRunner::Result ScenarioRunner::ObserveBar(std::string& line) {
  const Hwnd bar = host_.BarWindow();
  if (!bar) {
    line = scenario::BarLine(std::nullopt);
    return {};
  }
  line = scenario::BarLine(
      scenario::BarView{host_.windows.Shown(bar), ToBox(host_.RectInMainClient(bar))});
  return {};
}

ScenarioRunner::Result ScenarioRunner::ObserveTabs(std::string& line) {
  const Hwnd bar = host_.BarWindow();
  const auto* strip = host_.TabStrip();
  if (!bar || !host_.windows.Shown(bar) || !strip) {
    line = scenario::TabsLine(nullptr);
    return {};
  }
  const auto tabs = strip->Views();
  line = scenario::TabsLine(&tabs);
  return {};
}

ScenarioRunner::Result ScenarioRunner::ObserveTab(const Words& words, std::string& line) {
  const auto index = ParseNumber(words[1]);
  if (!index) return {Result::kScriptError, "bad number: " + words[1]};
  const auto* strip = host_.TabStrip();
  const auto tabs = strip ? strip->Views() : std::vector<scenario::TabView>{};
  if (*index < 0 || *index >= static_cast<long long>(tabs.size())) {
    return {Result::kRefused, "there is no tab " + words[1]};
  }
  const int i = static_cast<int>(*index);
  line = scenario::TabLine(i, tabs[static_cast<std::size_t>(i)]);
  return {};
}

ScenarioRunner::Result ScenarioRunner::ObserveRegistry(const Words& words, std::string& line) {
  if (words.size() != 4) return {Result::kScriptError, "reg get needs PATH and NAME"};
  last_reg_path_ = words[2];
  const auto stored = host_.registry.Peek(host::kHkeyCurrentUser, words[2], words[3]);
  line = scenario::RegLine(
      words[3], stored ? std::optional(FromStored(host_.registry, *stored)) : std::nullopt);
  return {};
}

ScenarioRunner::Result ScenarioRunner::RegSet(const Words& w) {
  last_reg_path_ = w[2];
  auto parsed = scenario::ParseRegSet(w);
  if (auto* error = std::get_if<std::string>(&parsed)) return {Result::kScriptError, *error};
  const auto& request = std::get<scenario::RegSetRequest>(parsed);
  if (!host_.registry.Put(host::kHkeyCurrentUser, request.path, request.name, request.value.type,
                          ToStored(host_.registry, request.value))) {
    return {Result::kRefused, "the registry refused " + request.path};
  }
  return {};
}

ScenarioRunner::Result ScenarioRunner::RegDelete(const Words& w) {
  if (w.size() > 4) return {Result::kScriptError, "reg delete takes PATH [NAME]"};
  last_reg_path_ = w[2];
  const bool deleted = w.size() == 4 ? host_.registry.Delete(host::kHkeyCurrentUser, w[2], w[3])
                                     : host_.registry.Delete(host::kHkeyCurrentUser, w[2]);
  if (!deleted) return {Result::kRefused, "nothing to delete at " + w[2]};
  return {};
}

Vestranov3& ScenarioRunner::Addin() {
  if (!host_.addin) host_.addin = std::make_unique<Vestranov3>();
  return *host_.addin;
}

ScenarioRunner::Result ScenarioRunner::Ribbon(const Words& w) {
  if ((w[1] == "xml" || w[1] == "pressed") && w.size() == 2) {
    std::string line;
    Result result = Observe(w, line);
    if (result.kind == Result::kDone) out_ << line << '\n';
    return result;
  }
  if (w[1] != "toggle" || w.size() != 3) {
    return {Result::kScriptError, "ribbon takes xml, pressed or toggle 0|1"};
  }
  const auto pressed = scenario::ParseFlag(w[2]);
  if (!pressed) return {Result::kScriptError, "bad number: " + w[2]};
  if (!Addin().OnAction(*pressed)) return {Result::kRefused, "the check box's callback failed"};
  return {};
}

ScenarioRunner::Result ScenarioRunner::Options(const Words& w) {
  using host::DialogControl;
  const auto parsed = scenario::ParseOptions(w);
  if (const auto* error = std::get_if<std::string>(&parsed)) return {Result::kScriptError, *error};
  const auto& request = std::get<scenario::OptionsRequest>(parsed);
  std::vector<std::pair<DialogControl, bool>> steps;
  for (const auto& step : request.steps) {
    constexpr DialogControl kPositions[] = {DialogControl::Option3, DialogControl::Option4};
    constexpr DialogControl kStyles[] = {DialogControl::Option1, DialogControl::Option2,
                                         DialogControl::Option5};
    switch (step.kind) {
      case scenario::OptionStep::kPosition:
        steps.emplace_back(kPositions[step.value], true);
        break;
      case scenario::OptionStep::kStyle:
        steps.emplace_back(kStyles[step.value], true);
        break;
      case scenario::OptionStep::kTaskbar:
        steps.emplace_back(DialogControl::Check1, step.value != 0);
        break;
    }
  }

  auto& dialogs = host_.dialogs;
  const bool opened_here = !dialogs.Open();
  if (opened_here && (!Addin().OptionMenu() || !dialogs.Open())) {
    return {Result::kRefused, "the options dialog did not open"};
  }
  if (dialogs.Open()->kind != host::DialogKind::kOptions) {
    return {Result::kRefused, "the open dialog is not the options dialog"};
  }
  for (const auto& [control, value] : steps) {
    // The check box is clicked only when it is not already as wanted.
    if (control == DialogControl::Check1 && dialogs.Open()->checked.at(control) == value) continue;
    if (auto refused = dialogs.Click(control)) {
      // A dialog that this command opened goes again, so that the refusal changes nothing.
      if (opened_here) dialogs.CloseBox();
      return {Result::kRefused, *refused};
    }
  }
  return FromOutcome(request.ok ? dialogs.Click(DialogControl::cmdOK) : dialogs.CloseBox());
}

ScenarioRunner::Result ScenarioRunner::About(const Words& w) {
  if (w[1] != "ok" && w[1] != "close") return {Result::kScriptError, "about takes ok or close"};
  if (!Addin().AboutMenu() || !host_.dialogs.Open()) {
    return {Result::kRefused, "the about box did not open"};
  }
  return FromOutcome(w[1] == "ok" ? host_.dialogs.Click(host::DialogControl::cmdOK)
                                  : host_.dialogs.CloseBox());
}

ScenarioRunner::Result ScenarioRunner::Connect(const Words& w) {
  const auto parsed = scenario::ParseConnectMode(w);
  if (const auto* error = std::get_if<std::string>(&parsed)) return {Result::kScriptError, *error};
  const int mode = std::get<int>(parsed);
  if (!host_.addin) host_.addin = std::make_unique<Vestranov3>();
  host_.addin->AddinInstance_OnConnection(host_.excel, mode);
  if (mode != 2) script_connected_ = true;
  return {};
}

}  // namespace vestrano::sim
