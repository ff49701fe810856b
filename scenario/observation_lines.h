// The exact lines that a scenario's observations print, built from plain values, so that a runner
// only has to find the values (in its fakes, or in real windows and the real registry) and both
// runners print the same text for the same state. Also the other half of `expect`: which
// observation an expected line is the output of, and the `reg set` words read into a value.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vestrano::scenario {

struct TabView {
  std::string caption;
  std::string tooltip;
  int image = 0;
  bool selected = false;
};

// "tabs: a | [b]"; "(none)" for an empty row, "(hidden)" when `tabs` is null (no bar shown).
std::string TabsLine(const std::vector<TabView>* tabs);
// "tab N: caption=<C> tooltip=<T> image=<I> selected=<0|1>"
std::string TabLine(int index, const TabView& tab);

struct Box {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  friend bool operator==(const Box&, const Box&) = default;
};

// "strip: above|below|none desk=L,T,R,B client=L,T,R,B": where the workbook area's client
// rectangle leaves rows of its window rectangle to the strip.
std::string StripLine(const Box& desk, const Box& client);

struct BarView {
  bool visible = false;
  Box rect;
};
// "bar: visible=<0|1> x=<X> y=<Y> w=<W> h=<H>", or "bar: none".
std::string BarLine(const std::optional<BarView>& bar);

struct MenuItemView {
  std::string caption;
  bool begin_group = false;
  bool enabled = true;
  bool checked = false;
};
// "menu NAME: item | - item (off) | item (checked)"; "menu NAME: (none)" when there is no bar.
std::string MenuLine(std::string_view name, const std::optional<std::vector<MenuItemView>>& items);

struct WorkbookView {
  std::string name;
  bool saved = true;
  bool hidden = false;  // every window hidden
  bool active = false;
};
// "workbooks: [Book1.xlsx*] | PERSONAL.XLSB~", or "workbooks: (none)".
std::string WorkbooksLine(const std::vector<WorkbookView>& workbooks);

// Registry value types, as Windows numbers them.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

// A registry value as the scenario language writes and prints it: texts (one for sz and expand,
// any number for multi) in UTF-8, a number for dword, raw bytes for every other type.
struct RegValue {
  std::uint32_t type = kRegNone;
  std::vector<std::string> texts;
  std::uint32_t number = 0;
  std::string bytes;
};
// "reg NAME = dword 1", "reg NAME = multi a b", "reg NAME missing", ...
std::string RegLine(std::string_view name, const std::optional<RegValue>& value);

struct RegSetRequest {
  std::string path;
  std::string name;
  RegValue value;
};
// The words of `reg set PATH NAME TYPE [VALUE...]`; an error text when they are not a valid one.
std::variant<RegSetRequest, std::string> ParseRegSet(const std::vector<std::string>& words);

// The observation whose output `expected` is ("tabs: a | b" is the output of `tabs`); `reg`
// lines read NAME under `reg_path`. Empty when no observation prints such a line.
std::optional<std::vector<std::string>> ObservationFor(std::string_view expected,
                                                       std::string_view reg_path);

// Hex digits (two a byte, either case) to bytes, and bytes to lower-case hex.
std::optional<std::string> ParseHex(std::string_view hex);
std::string ToHex(std::string_view bytes);

}  // namespace vestrano::scenario
