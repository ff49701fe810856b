// The scenario language's shared lines, which xlsim prints from real windows and vestrano-sim
// from its fakes: each form is checked against what vestrano-sim prints for a known state (which
// also checks the values it finds in the fakes), and `expect` must find the observation of every
// line it prints.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "scenario/observation_lines.h"
#include "sim/scenario_runner.h"

namespace vestrano::scenario {
namespace {

// The lines vestrano-sim prints for a script.
std::vector<std::string> SimLines(const std::string& script) {
  std::istringstream in(script);
  std::ostringstream out, err;
  sim::ScenarioRunner runner(out, err);
  EXPECT_EQ(runner.Run(in), sim::kRunPassed) << err.str();
  std::vector<std::string> lines;
  std::istringstream printed(out.str());
  for (std::string line; std::getline(printed, line);) lines.push_back(line);
  return lines;
}

TEST(ObservationLines, AreTheLinesVestranoSimPrints) {
  const auto lines = SimLines(
      "open Book1.xlsx\nedit\nopen \"Q 2.xls\" \"C:\\My Files\"\nhide Book1.xlsx\nnew\n"
      "connect\ntabs\ntab 1\nstrip\nbar\nmenu TabBar\nmenu Nothing\nworkbooks\n"
      "reg set Software\\T D dword -1\nreg get Software\\T D\n"
      "reg set Software\\T M multi a \"b c\"\nreg get Software\\T M\n"
      "reg set Software\\T N none\nreg get Software\\T N\nreg get Software\\T Gone\n");
  ASSERT_EQ(lines.size(), 11u);
  const TabView q{"Q 2.xls", "C:\\My Files\\Q 2.xls", 0, false};
  const std::vector<TabView> tabs{q, {"Book1", "Book1", 0, true}};
  EXPECT_EQ(lines[0], TabsLine(&tabs));
  EXPECT_EQ(lines[1], TabLine(1, tabs[1]));
  EXPECT_EQ(lines[2], StripLine({0, 80, 1024, 740}, {0, 104, 1024, 740}));
  EXPECT_EQ(lines[3], BarLine(BarView{true, {2, 80, 1022, 105}}));
  EXPECT_EQ(lines[4],
            MenuLine("TabBar", std::vector<MenuItemView>{{"关闭工作簿(&C)", false, true, false},
                                                         {"保存工作簿(&S)", false, true, false},
                                                         {"保存所有工作簿(&Y)", false, true, false},
                                                         {"另存为(&A)", false, true, false},
                                                         {"关闭其它工作簿(&O)", false, true, false},
                                                         {"关闭所有工作簿(&L)", false, true, false},
                                                         {"打开所在文件夹(&Y)", false, true, false},
                                                         {"Vestrano选项(&O)", true, true, false}}));
  EXPECT_EQ(lines[5], MenuLine("Nothing", std::nullopt));
  EXPECT_EQ(lines[6], WorkbooksLine({{"Book1.xlsx", false, true, false},
                                     {"Q 2.xls", true, false, false},
                                     {"Book1", true, false, true}}));
  EXPECT_EQ(lines[7], RegLine("D", RegValue{kRegDword, {}, 4294967295u, {}}));
  EXPECT_EQ(lines[8], RegLine("M", RegValue{kRegMultiSz, {"a", "b c"}, 0, {}}));
  EXPECT_EQ(lines[9], RegLine("N", RegValue{kRegNone, {}, 0, {}}));
  EXPECT_EQ(lines[10], RegLine("Gone", std::nullopt));
  EXPECT_EQ(TabsLine(nullptr), "tabs: (hidden)");
  EXPECT_EQ(StripLine({0, 80, 1024, 740}, {0, 80, 1024, 716}),
            "strip: below desk=0,80,1024,740 client=0,80,1024,716");
  EXPECT_EQ(RegLine("B", RegValue{kRegBinary, {}, 0, std::string("\x0a\xff", 2)}),
            "reg B = binary 0aff");
  EXPECT_EQ(RegLine("X", RegValue{11, {}, 0, "\x01"}), "reg X = type 11 01");
}

TEST(ObservationLines, ExpectFindsTheObservationOfEveryLine) {
  using Words = std::vector<std::string>;
  EXPECT_EQ(ObservationFor("tabs: a | [b]", "K"), Words{"tabs"});
  EXPECT_EQ(ObservationFor("tab 12: caption=a: b tooltip=x", "K"), (Words{"tab", "12"}));
  EXPECT_EQ(ObservationFor("menu TabBarII: a | b", "K"), (Words{"menu", "TabBarII"}));
  EXPECT_EQ(ObservationFor("reg Two words = sz a = b", "K"),
            (Words{"reg", "get", "K", "Two words"}));
  EXPECT_EQ(ObservationFor("reg Value missing", "Path"), (Words{"reg", "get", "Path", "Value"}));
  EXPECT_EQ(ObservationFor("taskbar: 1", "K"), Words{"taskbar"});
  EXPECT_EQ(ObservationFor("dialog: Vestrano选项", "K"), Words{"dialog"});
  EXPECT_EQ(ObservationFor("ribbon pressed: 0", "K"), (Words{"ribbon", "pressed"}));
  EXPECT_EQ(ObservationFor("ribbon: <customUI xmlns=\"http://x\"/>", "K"),
            (Words{"ribbon", "xml"}));
  for (const char* nothing : {"ribbon pressed", "ribbon xml", "reg missing", "reg X", "menu",
                              "tab 1", "popup TabBar", "x: y"}) {
    EXPECT_FALSE(ObservationFor(nothing, "K")) << nothing;
  }
}

TEST(ObservationLines, RegSetWordsBecomeTheValueOrTheScriptsError) {
  const auto set = [](std::vector<std::string> words) { return ParseRegSet(words); };
  const auto dword = set({"reg", "set", "P", "N", "dword", "-2147483648"});
  ASSERT_TRUE(std::holds_alternative<RegSetRequest>(dword));
  EXPECT_EQ(std::get<RegSetRequest>(dword).value.number, 0x80000000u);
  const auto none = set({"reg", "set", "P", "N", "none"});
  ASSERT_TRUE(std::holds_alternative<RegSetRequest>(none));
  EXPECT_EQ(std::get<RegSetRequest>(none).value.type, kRegNone);
  const auto multi = set({"reg", "set", "P", "N", "multi"});
  ASSERT_TRUE(std::holds_alternative<RegSetRequest>(multi));
  EXPECT_TRUE(std::get<RegSetRequest>(multi).value.texts.empty());
  for (const std::vector<std::string>& bad : {std::vector<std::string>{"reg", "set", "P", "N"},
                                              {"reg", "set", "P", "N", "dword", "4294967296"},
                                              {"reg", "set", "P", "N", "dword", "1", "2"},
                                              {"reg", "set", "P", "N", "binary", "abc"},
                                              {"reg", "set", "P", "N", "binary", "zz"},
                                              {"reg", "set", "P", "N", "sz"},
                                              {"reg", "set", "P", "N", "qword", "1"}}) {
    EXPECT_TRUE(std::holds_alternative<std::string>(set(bad))) << bad.back();
  }
}

}  // namespace
}  // namespace vestrano::scenario
