#include "scenario/command_words.h"

#include <limits>

#include "scenario/script_lexer.h"

namespace vestrano::scenario {
namespace {

constexpr std::string_view kUserActions[] = {
    "open",     "new",    "activate", "edit",   "select",  "sheet",   "save",       "saveas",
    "close",    "hide",   "unhide",   "window", "focus",   "connect", "disconnect", "click",
    "dblclick", "rclick", "tools",    "ribbon", "options", "about"};

constexpr std::uint32_t kDefaultTickMs = 50;
constexpr int kDefaultConnectMode = 1;
constexpr int kLastConnectMode = 5;
constexpr int kLastStyle = 2;

std::string BadNumber(std::string_view word) {
  return "bad number: " + std::string(word);
}

}  // namespace

bool IsUserAction(std::string_view command) {
  for (std::string_view action : kUserActions) {
    if (command == action) return true;
  }
  return false;
}

std::optional<bool> ParseFlag(std::string_view word) {
  if (word == "0") return false;
  if (word == "1") return true;
  return std::nullopt;
}

Parsed<std::uint32_t> ParseTick(const std::vector<std::string>& words) {
  if (words.size() < 2) return kDefaultTickMs;
  const auto ms = ParseNumber(words[1]);
  if (!ms || *ms < 0 || *ms > std::numeric_limits<std::uint32_t>::max()) return BadNumber(words[1]);
  return static_cast<std::uint32_t>(*ms);
}

Parsed<int> ParseConnectMode(const std::vector<std::string>& words) {
  if (words.size() < 2) return kDefaultConnectMode;
  const auto mode = ParseNumber(words[1]);
  if (!mode || *mode < 0 || *mode > kLastConnectMode) return BadNumber(words[1]);
  return static_cast<int>(*mode);
}

Parsed<ClickTarget> ParseClickTarget(const std::string& word) {
  if (word == "empty") return ClickTarget{};
  const auto number = ParseNumber(word);
  if (!number) return BadNumber(word);
  if (*number < 0 || *number > std::numeric_limits<int>::max()) {
    return ClickTarget{std::nullopt, true};
  }
  return ClickTarget{static_cast<int>(*number), false};
}

Parsed<OptionsRequest> ParseOptions(const std::vector<std::string>& words) {
  OptionsRequest request;
  const std::string& last = words.back();
  if (words.size() < 2 || (last != "ok" && last != "close")) {
    return std::string("options ends with ok or close");
  }
  request.ok = last == "ok";
  for (std::size_t i = 1; i + 1 < words.size(); ++i) {
    if (words[i] == "above" || words[i] == "below") {
      request.steps.push_back({OptionStep::kPosition, words[i] == "above" ? 0 : 1});
      continue;
    }
    if ((words[i] != "style" && words[i] != "taskbar") || i + 2 >= words.size()) {
      return std::string("options takes above, below, style N, taskbar N");
    }
    const std::string& value = words[i + 1];
    if (words[i] == "style") {
      const auto style = ParseNumber(value);
      if (!style || *style < 0 || *style > kLastStyle) return BadNumber(value);
      request.steps.push_back({OptionStep::kStyle, static_cast<int>(*style)});
    } else {
      const auto shown = ParseFlag(value);
      if (!shown) return BadNumber(value);
      request.steps.push_back({OptionStep::kTaskbar, *shown ? 1 : 0});
    }
    ++i;
  }
  return request;
}

}  // namespace vestrano::scenario
