// Fuzzes whole scenario scripts through the scenario runner, and with it the add-in's logic over
// the in-memory Excel: whatever the script does, the add-in must not crash, must not need to
// catch a failure at one of its entry points, must leave nothing behind once disconnected, and
// the runner must keep its output contract.
#include <exception>
#include <sstream>
#include <string>
#include <string_view>

#include "fuzz/fuzz_bodies.h"
#include "fuzz/fuzz_support.h"
#include "sim/scenario_runner.h"

namespace vestrano::fuzz {
namespace {

// The beginnings of the lines that observations print, the only lines on standard output.
constexpr std::string_view kObservations[] = {
    "tabs: ", "tab ",   "workbooks: ", "strip: ",          "bar: ",     "reg ",
    "menu ",  "popup ", "ribbon: ",    "ribbon pressed: ", "taskbar: ", "dialog: "};

// What must be gone once the add-in has disconnected: Excel's windows as they were, no hook,
// timer or window lock of the add-in's, and none of its popups or connected buttons.
std::string LeftBehind(const sim::SimHost& host) {
  if (host.hooks.InstalledHooks() != 0) return "a hook";
  if (host.clock.PendingTimers() != 0) return "a timer";
  if (host.BarWindow()) return "the bar";
  if (host.windows.LockedWindow()) return "a window lock";
  if (host.excel->Bars().Bar("TabBar") || host.excel->Bars().Bar("TabBarII")) return "a popup";
  if (host.excel->Bars().ClickConnections() != 0) return "a connected button";
  const Hwnd desk = host.windows.Find(host.MainWindow(), "XLDESK");
  if (desk && host.windows.State(desk).proc != fake::FakeWindowSystem::kDefaultProc) {
    return "the workbook area's subclass";
  }
  return {};
}

bool EveryLineStartsWithOneOf(const std::string& text, auto&& starts) {
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    bool known = false;
    for (std::string_view start : starts) known = known || line.starts_with(start);
    if (!known) return false;
  }
  return true;
}

}  // namespace

std::string FuzzScenario(std::string_view input) {
  std::istringstream script{std::string(input.substr(0, kScenarioMaxBytes))};
  std::ostringstream out, err;
  int status = -1;
  std::size_t failures = 0;
  std::string left;
  try {
    sim::ScenarioRunner runner(out, err);
    status = runner.Run(script);
    failures = runner.Host().diagnostics.Failures().size();
    if (runner.Host().addin && !runner.ScriptLeavesConnected()) left = LeftBehind(runner.Host());
  } catch (const std::exception& error) {
    return std::string("the run threw ") + error.what() + "; after <" + err.str() + ">";
  }
  if (failures != 0) return "the add-in caught a failure: " + err.str();
  if (!left.empty()) return "the add-in disconnected and left " + left + " behind";
  if (status != sim::kRunPassed && status != sim::kRunExpectationFailed &&
      status != sim::kRunScriptError) {
    return "the run ended with status " + std::to_string(status);
  }
  if (!EveryLineStartsWithOneOf(out.str(), kObservations)) {
    return "standard output has a line that no observation prints: " + Shown(out.str());
  }
  constexpr std::string_view kLineNumber[] = {"line "};
  if (!EveryLineStartsWithOneOf(err.str(), kLineNumber)) {
    return "standard error has a line without its line number: " + Shown(err.str());
  }
  return {};
}

}  // namespace vestrano::fuzz
