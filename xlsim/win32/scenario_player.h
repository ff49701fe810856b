// Plays a scenario script against xlsim's Excel and the real add-in: the same commands, word
// counts, refusals, exit statuses and printed lines as vestrano-sim, with the user's actions as
// real mouse input and every observation read from real windows, the add-in's accessible tab row
// and the registry.
#pragma once

#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "xlsim/win32/addin_host.h"
#include "xlsim/win32/excel.h"
#include "xlsim/win32/scenario_registry.h"

namespace vestrano::xlsim::win32 {

inline constexpr int kRunPassed = 0;
inline constexpr int kRunExpectationFailed = 1;
inline constexpr int kRunScriptError = 2;

class ScenarioPlayer {
 public:
  // Failures the add-in reported through the debugger's output during the run; each one fails
  // the run, as an add-in must not have to catch faults of its own.
  using FailureSource = std::function<std::vector<std::string>()>;
  ScenarioPlayer(std::ostream& out, std::ostream& err, FailureSource failures);
  ~ScenarioPlayer();
  ScenarioPlayer(const ScenarioPlayer&) = delete;
  ScenarioPlayer& operator=(const ScenarioPlayer&) = delete;

  int Run(std::istream& script);
  Excel& GetExcel() { return *excel_; }

 private:
  using Words = std::vector<std::string>;
  struct Result {
    enum Kind { kDone, kRefused, kMismatch, kScriptError } kind = kDone;
    std::string message;
  };
  using Command = std::function<Result(const Words&)>;

  // Plays the script's next lines until it ends, fails, or `done` holds before a line.
  void PlayLines(const std::function<bool()>& done);
  // Plays the lines meant for the add-in's open `dialog`, from inside its modal loop, until it
  // closes; closes it when the script does not.
  void PlayWhileOpen(HWND dialog);
  void RegisterCommands();
  void Add(std::string name, std::size_t min_words, std::size_t max_words, Command command);
  Result Execute(const Words& words);
  Result Expect(const std::string& line);
  static Result FromOutcome(const std::optional<std::string>& outcome);

  // Observations: the printed lines, or a refusal.
  Result Observe(const Words& words, std::vector<std::string>& lines);
  Result ObserveTabs(std::string& line);
  Result ObserveTab(const Words& words, std::string& line);
  Result ObserveStrip(std::string& line);
  Result ObserveBar(std::string& line);
  Result ObserveRegistry(const Words& words, std::string& line);
  std::vector<std::string> ObserveDialogs();

  Result Reg(const Words& words);
  Result Connect(const Words& words);
  Result Click(const Words& words, bool right, int times);
  Result Choose(const Words& words);
  Result Tools(const Words& words);
  Result Ribbon(const Words& words);
  Result Options(const Words& words);
  Result About(const Words& words);

  std::istream* script_ = nullptr;
  int line_number_ = 0;
  int status_ = kRunPassed;
  std::ostream& out_;
  std::ostream& err_;
  FailureSource failures_;
  RegistrySandbox registry_;
  std::unique_ptr<Excel> excel_;
  std::unique_ptr<AddinHost> addins_;
  struct Entry {
    std::size_t min_words;
    std::size_t max_words;
    Command command;
  };
  std::map<std::string, Entry, std::less<>> commands_;
  std::string last_reg_path_;
  std::vector<std::string> reported_;  // what the add-in host reported, for standard error
};

}  // namespace vestrano::xlsim::win32
