// The command words both scenario runners read through one parser: where a line stops being a
// valid command, and what a valid one asks for.
#include <gtest/gtest.h>

#include "scenario/command_words.h"

namespace vestrano::scenario {
namespace {

using Words = std::vector<std::string>;

template <typename T>
std::string ErrorOf(const Parsed<T>& parsed) {
  const auto* error = std::get_if<std::string>(&parsed);
  return error ? *error : std::string();
}

TEST(CommandWords, OptionsKeepTheUserOrderAndRefuseMalformedSettings) {
  const auto parsed = ParseOptions({"options", "below", "taskbar", "0", "style", "2", "ok"});
  ASSERT_EQ(ErrorOf(parsed), "");
  const auto& request = std::get<OptionsRequest>(parsed);
  EXPECT_TRUE(request.ok);
  ASSERT_EQ(request.steps.size(), 3u);
  EXPECT_EQ(request.steps[0].kind, OptionStep::kPosition);
  EXPECT_EQ(request.steps[0].value, 1);
  EXPECT_EQ(request.steps[1].kind, OptionStep::kTaskbar);
  EXPECT_EQ(request.steps[1].value, 0);
  EXPECT_EQ(request.steps[2].kind, OptionStep::kStyle);
  EXPECT_EQ(request.steps[2].value, 2);
  EXPECT_FALSE(std::get<OptionsRequest>(ParseOptions({"options", "close"})).ok);

  EXPECT_EQ(ErrorOf(ParseOptions({"options", "above"})), "options ends with ok or close");
  // A setting's value may not be the final ok, and a style has three values only.
  EXPECT_EQ(ErrorOf(ParseOptions({"options", "style", "ok"})),
            "options takes above, below, style N, taskbar N");
  EXPECT_EQ(ErrorOf(ParseOptions({"options", "style", "3", "ok"})), "bad number: 3");
  EXPECT_EQ(ErrorOf(ParseOptions({"options", "taskbar", "2", "ok"})), "bad number: 2");
  EXPECT_EQ(ErrorOf(ParseOptions({"options", "left", "ok"})),
            "options takes above, below, style N, taskbar N");
}

TEST(CommandWords, NumbersStayWithinWhatTheRunnersCanDo) {
  EXPECT_EQ(std::get<std::uint32_t>(ParseTick({"tick"})), 50u);
  EXPECT_EQ(std::get<std::uint32_t>(ParseTick({"tick", "4294967295"})), 4294967295u);
  EXPECT_EQ(ErrorOf(ParseTick({"tick", "4294967296"})), "bad number: 4294967296");
  EXPECT_EQ(ErrorOf(ParseTick({"tick", "-1"})), "bad number: -1");

  EXPECT_EQ(std::get<int>(ParseConnectMode({"connect"})), 1);
  EXPECT_EQ(std::get<int>(ParseConnectMode({"connect", "5"})), 5);
  EXPECT_EQ(ErrorOf(ParseConnectMode({"connect", "6"})), "bad number: 6");

  EXPECT_FALSE(std::get<ClickTarget>(ParseClickTarget("empty")).tab);
  EXPECT_EQ(std::get<ClickTarget>(ParseClickTarget("3")).tab, 3);
  // A number no tab can have is a refused click, not a broken script.
  EXPECT_TRUE(std::get<ClickTarget>(ParseClickTarget("-1")).no_such_tab);
  EXPECT_TRUE(std::get<ClickTarget>(ParseClickTarget("2147483648")).no_such_tab);
  EXPECT_EQ(ErrorOf(ParseClickTarget("first")), "bad number: first");

  EXPECT_TRUE(IsUserAction("rclick"));
  EXPECT_FALSE(IsUserAction("tabs"));
  EXPECT_FALSE(ParseFlag("01"));
}

}  // namespace
}  // namespace vestrano::scenario
