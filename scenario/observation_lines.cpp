// The observation lines of the scenario language, and the reading of `reg set` and `expect`.
#include "scenario/observation_lines.h"

#include "scenario/script_lexer.h"

namespace vestrano::scenario {
namespace {

std::string Corners(const Box& box) {
  return std::to_string(box.left) + "," + std::to_string(box.top) + "," +
         std::to_string(box.right) + "," + std::to_string(box.bottom);
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::string TabsLine(const std::vector<TabView>* tabs) {
  if (!tabs) return "tabs: (hidden)";
  if (tabs->empty()) return "tabs: (none)";
  std::string line = "tabs: ";
  for (std::size_t i = 0; i < tabs->size(); ++i) {
    const TabView& tab = (*tabs)[i];
    if (i > 0) line += " | ";
    line += tab.selected ? "[" + tab.caption + "]" : tab.caption;
  }
  return line;
}

std::string TabLine(int index, const TabView& tab) {
  return "tab " + std::to_string(index) + ": caption=" + tab.caption + " tooltip=" + tab.tooltip +
         " image=" + std::to_string(tab.image) + " selected=" + (tab.selected ? "1" : "0");
}

std::string StripLine(const Box& desk, const Box& client) {
  const char* where = client.top > desk.top         ? "above"
                      : client.bottom < desk.bottom ? "below"
                                                    : "none";
  return std::string("strip: ") + where + " desk=" + Corners(desk) + " client=" + Corners(client);
}

std::string BarLine(const std::optional<BarView>& bar) {
  if (!bar) return "bar: none";
  const Box& r = bar->rect;
  return std::string("bar: visible=") + (bar->visible ? "1" : "0") +
         " x=" + std::to_string(r.left) + " y=" + std::to_string(r.top) +
         " w=" + std::to_string(r.right - r.left) + " h=" + std::to_string(r.bottom - r.top);
}

std::string MenuLine(std::string_view name, const std::optional<std::vector<MenuItemView>>& items) {
  std::string line = "menu " + std::string(name) + ":";
  if (!items) return line + " (none)";
  for (std::size_t i = 0; i < items->size(); ++i) {
    const MenuItemView& item = (*items)[i];
    line += i == 0 ? " " : " | ";
    if (item.begin_group) line += "- ";
    line += item.caption;
    if (!item.enabled) line += " (off)";
    if (item.checked) line += " (checked)";
  }
  return line;
}

std::string WorkbooksLine(const std::vector<WorkbookView>& workbooks) {
  if (workbooks.empty()) return "workbooks: (none)";
  std::string line = "workbooks: ";
  for (std::size_t i = 0; i < workbooks.size(); ++i) {
    const WorkbookView& book = workbooks[i];
    std::string entry = book.name + (book.saved ? "" : "*") + (book.hidden ? "~" : "");
    if (book.active) entry = "[" + entry + "]";
    line += (i > 0 ? " | " : "") + entry;
  }
  return line;
}

std::string RegLine(std::string_view name, const std::optional<RegValue>& value) {
  std::string line = "reg " + std::string(name);
  if (!value) return line + " missing";
  line += " = ";
  switch (value->type) {
    case kRegDword:
      return line + "dword " + std::to_string(value->number);
    case kRegSz:
    case kRegExpandSz:
      return line + (value->type == kRegSz ? "sz " : "expand ") +
             (value->texts.empty() ? std::string() : value->texts.front());
    case kRegMultiSz:
      line += "multi";
      for (const std::string& text : value->texts) line += " " + text;
      return line;
    case kRegBinary:
      return line + "binary " + ToHex(value->bytes);
    case kRegNone:
      return line + (value->bytes.empty() ? "none" : "none " + ToHex(value->bytes));
    default:
      return line + "type " + std::to_string(value->type) + " " + ToHex(value->bytes);
  }
}

std::variant<RegSetRequest, std::string> ParseRegSet(const std::vector<std::string>& w) {
  if (w.size() < 5) return std::string("reg set needs PATH NAME TYPE [VALUE]");
  RegSetRequest request{w[2], w[3], {}};
  RegValue& value = request.value;
  const std::string& type = w[4];
  const auto needs = [&](std::size_t count) { return w.size() == count; };
  if (type == "dword" && needs(6)) {
    const auto number = ParseNumber(w[5]);
    // Negative numbers are the same 32 bits, as REG_DWORD keeps them.
    if (!number || *number < -2147483648LL || *number > 4294967295LL) {
      return "bad number: " + w[5];
    }
    value.type = kRegDword;
    value.number = static_cast<std::uint32_t>(*number);
  } else if ((type == "sz" || type == "expand") && needs(6)) {
    value.type = type == "sz" ? kRegSz : kRegExpandSz;
    value.texts = {w[5]};
  } else if (type == "multi") {
    value.type = kRegMultiSz;
    value.texts.assign(w.begin() + 5, w.end());
  } else if ((type == "binary" && needs(6)) || (type == "none" && w.size() <= 6)) {
    auto bytes = ParseHex(w.size() > 5 ? w[5] : "");
    if (!bytes) return "bad hex: " + w[5];
    value.type = type == "binary" ? kRegBinary : kRegNone;
    value.bytes = std::move(*bytes);
  } else {
    return "bad reg set: type " + type;
  }
  return request;
}

std::optional<std::vector<std::string>> ObservationFor(std::string_view expected,
                                                       std::string_view reg_path) {
  using Words = std::vector<std::string>;
  const auto named = [&](std::size_t prefix) -> std::optional<Words> {
    const auto colon = expected.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    return Words{std::string(expected.substr(0, prefix - 1)),
                 std::string(expected.substr(prefix, colon - prefix))};
  };
  if (StartsWith(expected, "tabs:")) return Words{"tabs"};
  if (StartsWith(expected, "taskbar:")) return Words{"taskbar"};
  if (StartsWith(expected, "dialog:")) return Words{"dialog"};
  if (StartsWith(expected, "ribbon:")) return Words{"ribbon", "xml"};
  if (StartsWith(expected, "ribbon pressed:")) return Words{"ribbon", "pressed"};
  if (StartsWith(expected, "workbooks:")) return Words{"workbooks"};
  if (StartsWith(expected, "strip:")) return Words{"strip"};
  if (StartsWith(expected, "bar:")) return Words{"bar"};
  if (StartsWith(expected, "menu ")) return named(5);
  if (StartsWith(expected, "tab ")) return named(4);
  if (StartsWith(expected, "reg ")) {
    // "reg NAME = TYPE ..." or "reg NAME missing"
    const std::string_view rest = expected.substr(4);
    const auto equals = rest.find(" = ");
    std::string_view name;
    if (equals != std::string_view::npos) {
      name = rest.substr(0, equals);
    } else if (rest.size() > 8 && rest.substr(rest.size() - 8) == " missing") {
      name = rest.substr(0, rest.size() - 8);
    } else {
      return std::nullopt;
    }
    return Words{"reg", "get", std::string(reg_path), std::string(name)};
  }
  return std::nullopt;
}

std::optional<std::string> ParseHex(std::string_view hex) {
  if (hex.size() % 2 != 0) return std::nullopt;
  std::string bytes;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    unsigned value = 0;
    for (char c : hex.substr(i, 2)) {
      value <<= 4;
      if (c >= '0' && c <= '9')
        value |= static_cast<unsigned>(c - '0');
      else if (c >= 'a' && c <= 'f')
        value |= static_cast<unsigned>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F')
        value |= static_cast<unsigned>(c - 'A' + 10);
      else
        return std::nullopt;
    }
    bytes.push_back(static_cast<char>(value));
  }
  return bytes;
}

std::string ToHex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out.push_back(kDigits[c >> 4]);
    out.push_back(kDigits[c & 15]);
  }
  return out;
}

}  // namespace vestrano::scenario
