// What the words of a command mean, as both scenario runners read them: the checks and
// conversions that decide whether a line is a valid command, kept in one place so that a line
// means the same to vestrano-sim and to xlsim. Each parser gives a value, or the text of the
// script error.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vestrano::scenario {

template <typename T>
using Parsed = std::variant<T, std::string>;

// The commands with which the user acts on Excel or the add-in. Each closes an open popup
// unchosen, as a click elsewhere does; observations, time passing and the host's set-up leave it
// open.
bool IsUserAction(std::string_view command);

// "0" or "1".
std::optional<bool> ParseFlag(std::string_view word);

// `tick [MS]`: how long time passes, 50 ms when not given.
Parsed<std::uint32_t> ParseTick(const std::vector<std::string>& words);

// `connect [MODE]`: the connect mode Excel passes, 1 (after start-up) when not given.
Parsed<int> ParseConnectMode(const std::vector<std::string>& words);

// `click|dblclick|rclick N|empty`: the tab, or none for the empty strip past the last tab. A
// number no tab can have is not a script error: the click is refused.
struct ClickTarget {
  std::optional<int> tab;
  bool no_such_tab = false;
};
Parsed<ClickTarget> ParseClickTarget(const std::string& word);

// `options [above|below] [style 0|1|2] [taskbar 0|1] ok|close`: the user's settings in the order
// given, then OK or the close box.
struct OptionStep {
  enum Kind { kPosition, kStyle, kTaskbar } kind;
  int value;  // position 0 above, 1 below; style 0 to 2; taskbar 0 or 1
};
struct OptionsRequest {
  std::vector<OptionStep> steps;
  bool ok = false;
};
Parsed<OptionsRequest> ParseOptions(const std::vector<std::string>& words);

}  // namespace vestrano::scenario
