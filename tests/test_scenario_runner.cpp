// The scenario runner's own contract, which the simulated Excel for Windows must match line for
// line: how words are split, which faults end a run with status 2 at once, which ones let it go
// on (a host refusal; a failed expectation, which makes the status 1), that observations print
// exactly one line on standard output and nothing else does, and that vestrano-sim exits with the
// run's status.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "host/fake/host_calls.h"
#include "host/registry.h"
#include "scenario/script_lexer.h"
#include "sim/scenario_runner.h"
#include "tests/unexpected_failures.h"

namespace vestrano::sim {
namespace {

using scenario::ParseNumber;
using scenario::RestAfterFirstWord;
using scenario::SplitWords;

struct Played {
  int status = -1;
  std::string out;
  std::string err;
};

Played Play(const std::string& script) {
  std::istringstream in(script);
  std::ostringstream out, err;
  ScenarioRunner runner(out, err);
  Played played;
  played.status = runner.Run(in);
  played.out = out.str();
  played.err = err.str();
  return played;
}

TEST(ScriptLexer, QuotesEscapesAndNumbers) {
  auto words = SplitWords(R"(  open "Quarterly Report.xls"  "C:\My \"Files\"\\" # not a comment)");
  ASSERT_TRUE(words.error.empty());
  ASSERT_EQ(words.words.size(), 7u);  // a "#" within a line is a word like any other
  EXPECT_EQ(words.words[1], "Quarterly Report.xls");
  EXPECT_EQ(words.words[2], R"(C:\My "Files"\)");
  EXPECT_EQ(SplitWords(R"(open "unclosed)").error, "unclosed quote");
  EXPECT_EQ(RestAfterFirstWord("  expect   tabs: a | [b]  "), "tabs: a | [b]");
  EXPECT_EQ(ParseNumber("42"), 42);
  EXPECT_EQ(ParseNumber("-7"), -7);
  EXPECT_FALSE(ParseNumber("4x"));
  EXPECT_FALSE(ParseNumber(""));
  EXPECT_FALSE(ParseNumber("99999999999999999999"));
}

TEST(ScenarioRunner, ScriptFaultsEndTheRunAtOnceWithStatusTwo) {
  for (const char* fault :
       {"frobnicate", "open", "open a b c", "tab x", "tick -5", "visible 2", "connect 9",
        "answer maybe", "reg set K V dword 1.5", "reg set K V binary abc", "reg set K V qword 1",
        "expect nothing: x", "open \"unclosed", "\"\" Book1.xlsx"}) {
    SCOPED_TRACE(fault);
    const Played played = Play(std::string("open Book1.xlsx\n") + fault + "\nworkbooks\n");
    EXPECT_EQ(played.status, kRunScriptError);
    EXPECT_EQ(played.err.rfind("line 2: ", 0), 0u) << played.err;
    EXPECT_EQ(played.out, "") << "the run stopped before the observation";
  }
}

TEST(ScenarioRunner, RefusalsAndMismatchesLetTheRunGoOn) {
  const Played played = Play(
      "# a comment, then a blank line\n"
      "\n"
      "close Nothing.xlsx\n"
      "open Book1.xlsx\n"
      "open Book1.xlsx\n"
      "expect workbooks: [Book2.xlsx]\n"
      "tab 5\n"
      "workbooks\n");
  EXPECT_EQ(played.status, kRunExpectationFailed);
  EXPECT_EQ(played.out, "workbooks: [Book1.xlsx]\n");
  EXPECT_EQ(played.err,
            "line 3: no open workbook named Nothing.xlsx\n"
            "line 5: a workbook named Book1.xlsx is already open\n"
            "line 6: expected <workbooks: [Book2.xlsx]> got <workbooks: [Book1.xlsx]>\n"
            "line 7: there is no tab 5\n");
}

TEST(ScenarioRunner, ExpectReadsTheObservationItsLineNames) {
  const Played played = Play(
      "open Book1.xlsx\n"
      "connect\n"
      "expect   tabs: [Book1.xlsx]   \n"
      "expect tab 0: caption=Book1.xlsx tooltip=C:\\Data\\Book1.xlsx image=13 selected=1\n"
      "expect strip: above desk=0,80,1024,740 client=0,104,1024,740\n"
      "expect bar: visible=1 x=2 y=80 w=1020 h=25\n"
      "expect reg TabShow missing\n"
      "reg set Software\\Other \"Two Words\" sz \"a b\"\n"
      "expect reg Two Words = sz a b\n");
  EXPECT_EQ(played.status, kRunPassed) << played.err;
  EXPECT_EQ(played.out, "");
  EXPECT_EQ(played.err, "");
}

// The script writes registry text in UTF-8, the add-in reads it as ANSI bytes: what a script
// sets must be stored as the add-in's registry calls would have stored it, and what is stored
// there, however odd, must print as Windows would list it.
TEST(ScenarioRunner, RegistryValuesCrossBetweenScriptTextAndStoredBytes) {
  std::istringstream in(
      "reg set K S sz 中文\n"
      "reg set K M multi a \"b c\"\n"
      "reg set K D dword -2\n"
      "reg get K Short\n"
      "reg get K Gaps\n"
      "reg get K Bad\n");
  std::ostringstream out, err;
  ScenarioRunner runner(out, err);
  auto& registry = runner.Host().registry;
  const auto put = [&](const char* name, std::uint32_t type, std::string bytes) {
    ASSERT_TRUE(registry.Put(host::kHkeyCurrentUser, "K", name, type, bytes));
  };
  put("Short", host::kRegDword, "\x01\x02");
  put("Gaps", host::kRegMultiSz, std::string("a\0\0b\0\0", 6));
  put("Bad", host::kRegSz, "x\xff");  // no terminator, and a byte that is no ANSI text
  EXPECT_EQ(runner.Run(in), kRunPassed) << err.str();
  const auto stored = [&](const char* name) {
    const auto value = registry.Peek(host::kHkeyCurrentUser, "K", name);
    return value ? value->bytes : "(missing)";
  };
  EXPECT_EQ(stored("S"), registry.ToAnsi("中文") + '\0');
  EXPECT_EQ(stored("M"), std::string("a\0b c\0\0", 7));
  EXPECT_EQ(stored("D"), "\xfe\xff\xff\xff");
  // An empty string ends a list, as it does for Windows.
  EXPECT_EQ(out.str(), "reg Short = dword 513\nreg Gaps = multi a\nreg Bad = sz x\xef\xbf\xbd\n");
}

TEST(ScenarioRunner, AFailureTheAddinCaughtFailsTheRun) {
  // What the add-in reports is the runner's to judge here, not the test's.
  IgnoreUnexpectedFailures();
  std::istringstream in(
      "open A.xlsx\n"
      "open B.xlsx\n"
      "connect\n"
      "activate A.xlsx\n"
      "expect tabs: [A.xlsx] | B.xlsx\n");
  std::ostringstream out, err;
  ScenarioRunner runner(out, err);
  runner.Host().calls.ThrowOnCall("Workbook.Name");
  const int status = runner.Run(in);
  FailTestsOnUnexpectedFailures();
  EXPECT_EQ(status, kRunExpectationFailed);
  // The first paint lost its rebuild; the expectation still held, as the activation rebuilt the
  // row, and the report alone fails the run.
  EXPECT_EQ(err.str(), "failure reported in DeskWindowProc: injected exception in Workbook.Name\n");

  // The same failure provoked on purpose is reported but does not fail the run.
  std::istringstream again("open A.xlsx\nconnect\n");
  std::ostringstream out2, err2;
  ScenarioRunner provoked(out2, err2);
  provoked.Host().calls.ThrowOnCall("Workbook.Name");
  provoked.Host().diagnostics.ExpectFailures();
  EXPECT_EQ(provoked.Run(again), kRunPassed);
  EXPECT_NE(err2.str(), "");
}

// The dialog contract that xlsim plays from inside the dialog's own modal loop: a dialog that a
// menu command opens takes the next lines; while it is up Excel refuses the user's actions but
// not observations; `options` acts on it instead of opening another; a setting the dialog refuses
// leaves a dialog it did not open standing, and closes one it opened, storing nothing (the Theme
// of the first OK stays).
TEST(ScenarioRunner, AnOpenDialogTakesTheUsersActionsUntilItCloses) {
  const Played played = Play(
      "open Book1.xlsx\n"
      "open Book2.xlsx\n"
      "connect\n"
      "tick 300\n"
      "rclick 0\n"
      "choose Option\n"
      "dialog\n"
      "click 1\n"
      "new\n"
      "tabs\n"
      "options below ok\n"
      "dialog\n"
      "reg get \"SOFTWARE\\Microsoft\\Shared Tools\\Vestrano\" Position\n"
      "version 10.0\n"
      "rclick 0\n"
      "choose Option\n"
      "options style 1 ok\n"
      "dialog\n"
      "options above close\n"
      "options style 2 ok\n"
      "dialog\n"
      "reg get \"SOFTWARE\\Microsoft\\Shared Tools\\Vestrano\" Theme\n"
      "disconnect\n");
  EXPECT_EQ(played.status, kRunPassed) << played.err;
  EXPECT_EQ(played.out,
            "popup TabBar\n"
            "dialog: Vestrano选项\n"
            "tabs: [Book1.xlsx] | Book2.xlsx\n"
            "dialog: (none)\n"
            "reg Position = dword 1\n"
            "popup TabBar\n"
            "dialog: Vestrano选项\n"
            "dialog: (none)\n"
            "reg Theme = dword 0\n");
  EXPECT_EQ(played.err,
            "line 8: Vestrano选项 is open over Excel\n"
            "line 9: Vestrano选项 is open over Excel\n"
            "line 17: that option is disabled\n"
            "line 20: that option is disabled\n");
}

// CTest reads nothing of a scenario test but the program's exit status, so the program, not only
// the runner inside it, must end with the run's verdict.
TEST(VestranoSim, ExitsWithTheVerdictOfTheRun) {
  const std::string script =
      ::testing::TempDir() + "vestrano_sim_status_" + std::to_string(getpid()) + ".vsc";
  const auto status_of = [&](const std::string& arguments) {
    const int raw =
        std::system((std::string(VESTRANO_SIM) + " " + arguments + " >/dev/null 2>&1").c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  };
  struct Case {
    const char* text;
    int status;
  };
  for (const Case& c : {
           Case{"open Book1.xlsx\nexpect workbooks: [Book1.xlsx]\n", kRunPassed},
           // A command the host refuses fails nothing by itself.
           Case{"close Book1.xlsx\nopen Book1.xlsx\n", kRunPassed},
           // A failed expectation fails the run, also when later ones hold.
           Case{"open Book1.xlsx\nexpect workbooks: [Book2.xlsx]\nexpect workbooks: [Book1.xlsx]\n",
                kRunExpectationFailed},
           Case{"open Book1.xlsx\nfrobnicate\n", kRunScriptError},
           Case{"open Book1.xlsx\nexpect workbooks: [Book2.xlsx]\nopen\n", kRunScriptError},
       }) {
    SCOPED_TRACE(c.text);
    std::ofstream(script) << c.text;
    EXPECT_EQ(status_of("'" + script + "'"), c.status);
    EXPECT_EQ(status_of("- <'" + script + "'"), c.status);
  }
  std::remove(script.c_str());
  EXPECT_EQ(status_of("'" + script + "'"), kRunScriptError);  // no such file
  EXPECT_EQ(status_of(""), kRunScriptError);
}

TEST(HostCalls, AMisspeltCallNameIsRefusedNotCountedAsNeverMade) {
  fake::HostCalls calls;
  EXPECT_EQ(calls.CountOf("Windows.FillWindowRect"), 0u);
  EXPECT_THROW(calls.CountOf("Windows.FillRekt"), std::invalid_argument);
  EXPECT_THROW(calls.FailCall("Workbook.Nmae"), std::invalid_argument);
  EXPECT_THROW(calls.ThrowOnCall("workbook.name"), std::invalid_argument);
}

}  // namespace
}  // namespace vestrano::sim
