// Plays a scenario script: set-up and host-state commands, what Excel and the user do, the
// add-in's connection, and observations that print the exact lines of the scenario language.
#pragma once

#include <functional>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "sim/sim_host.h"

namespace vestrano::sim {

// Exit statuses of a run.
inline constexpr int kRunPassed = 0;
inline constexpr int kRunExpectationFailed = 1;
inline constexpr int kRunScriptError = 2;

struct RunOptions {
  // Off for runs whose host fails calls on purpose: what the add-in shows then is not the point.
  bool check_expectations = true;
};

class ScenarioRunner {
 public:
  ScenarioRunner(std::ostream& out, std::ostream& err, RunOptions options = {});
  int Run(std::istream& script);

  SimHost& Host() { return host_; }
  // Whether the script's last connect or disconnect leaves the add-in connected.
  bool ScriptLeavesConnected() const { return script_connected_; }

 private:
  using Words = std::vector<std::string>;
  // What a command did: nothing to report, a refusal by the host (the run goes on), an
  // expectation that did not hold (the run goes on and fails), or a fault in the script itself
  // (the run ends).
  struct Result {
    enum Kind { kDone, kRefused, kMismatch, kScriptError } kind = kDone;
    std::string message;
  };
  using Command = std::function<Result(const Words&)>;

  void RegisterCommands();
  void Add(std::string name, std::size_t min_words, std::size_t max_words, Command command);
  Result Execute(const Words& words);
  Result Expect(const std::string& line);

  // Observations: the printed line, or a refusal.
  Result Observe(const Words& words, std::string& line);
  Result ObserveTabs(std::string& line);
  Result ObserveTab(const Words& words, std::string& line);
  Result ObserveRegistry(const Words& words, std::string& line);
  Result ObserveStrip(std::string& line);
  Result ObserveBar(std::string& line);

  Result RegSet(const Words& words);
  Result RegDelete(const Words& words);
  Result Connect(const Words& words);
  // The ribbon's callbacks, the options dialog and the about box, as the user reaches them.
  Result Ribbon(const Words& words);
  Result Options(const Words& words);
  Result About(const Words& words);
  // The add-in object, made (not connected) when the script has not made it yet.
  Vestranov3& Addin();
  // A click (`times` 2: a double-click) of `button` on the tab or the empty strip that w[1] names.
  Result Click(const Words& words, int button, int times);
  static Result FromOutcome(const std::optional<std::string>& outcome);

  std::ostream& out_;
  std::ostream& err_;
  RunOptions options_;
  bool script_connected_ = false;
  SimHost host_;
  struct Entry {
    std::size_t min_words;
    std::size_t max_words;
    Command command;
  };
  std::map<std::string, Entry, std::less<>> commands_;
  // `expect reg NAME ...` reads the key that the script last named in a reg command.
  std::string last_reg_path_;
};

}  // namespace vestrano::sim
