// Shared state and the tab-list helpers.
#include "tabbar/module_pub.h"

#include <array>
#include <charconv>
#include <limits>

#include "base/utf8.h"
#include "base/wildcard.h"
#include "tabbar/form_vestrano.h"  // SharedState holds the form

namespace vestrano {
namespace {

// The unsaved mark as a pattern: anything, a blank, a literal asterisk at the end.
constexpr std::string_view kModifiedPattern = "* [*]";

struct ExtensionIcon {
  std::string_view extension;
  std::int32_t index;
};

// First match wins; anything else, "XLS" among them, is the older workbook icon 0.
constexpr std::array<ExtensionIcon, 20> kExtensionIcons{{
    {"XLSX", 13}, {"XLSM", 13}, {"HTM", 1},  {"HTML", 1}, {"MHT", 1},  {"MHTML", 1}, {"DOC", 2},
    {"DOT", 2},   {"MDB", 3},   {"TXT", 4},  {"XLA", 5},  {"XML", 6},  {"RTF", 7},   {"ET", 8},
    {"XLT", 9},   {"CSV", 10},  {"SLK", 12}, {"DIF", 12}, {"PRN", 11}, {"WKS", 11},
}};

constexpr std::int32_t kGenericWindowIcon = 11;

std::int32_t IconForExtension(std::string_view name) {
  const std::string extension = AsciiUpper(name.substr(name.rfind('.') + 1));
  for (const auto& [known, index] : kExtensionIcons) {
    if (extension == known) return index;
  }
  return 0;
}

}  // namespace

bool WorkbookHasVisibleWindow(host::IWorkbook& workbook) {
  auto windows = workbook.Windows();
  auto all = windows ? windows->Enumerate() : std::nullopt;
  if (!all) return false;
  for (const auto& window : *all) {
    if (window && window->Visible().value_or(false)) return true;
  }
  return false;
}

SharedState& Shared() {
  static SharedState state;
  return state;
}

void ResetShared() {
  Shared() = SharedState{};
}

std::int32_t CountVisibleWorkbooks() {
  return CountVisibleWorkbooks(std::numeric_limits<std::int32_t>::max());
}

std::int32_t CountVisibleWorkbooks(std::int32_t limit) {
  auto& app = Shared().oExcelApp;
  auto workbooks = app ? app->Workbooks() : nullptr;
  auto all = workbooks ? workbooks->Enumerate() : std::nullopt;
  if (!all) return 0;
  std::int32_t count = 0;
  for (const auto& workbook : *all) {
    if (count >= limit) break;
    if (workbook && WorkbookHasVisibleWindow(*workbook)) ++count;
  }
  return count;
}

bool IsWorkbookVisible(std::string_view name) {
  auto& app = Shared().oExcelApp;
  auto workbooks = app ? app->Workbooks() : nullptr;
  auto workbook = workbooks ? workbooks->Item(name) : nullptr;
  return workbook && WorkbookHasVisibleWindow(*workbook);
}

bool HasModifiedMark(std::string_view caption) {
  return MatchesPattern(caption, kModifiedPattern);
}

std::string StripModifiedMark(std::string_view caption) {
  if (!HasModifiedMark(caption)) return std::string(caption);
  return std::string(caption.substr(0, caption.size() - kModifiedMark.size()));
}

std::int32_t TabImageIndexFor(std::string_view name, std::string_view full_name) {
  if (name.find('.') != std::string_view::npos) return IconForExtension(name);
  // Without an extension: a workbook saved under such a file name, or one never saved.
  return name != full_name ? kGenericWindowIcon : 0;
}

std::int32_t GetTabImageIndex(std::string_view name) {
  if (name.find('.') != std::string_view::npos) return IconForExtension(name);
  auto& app = Shared().oExcelApp;
  auto workbooks = app ? app->Workbooks() : nullptr;
  auto workbook = workbooks ? workbooks->Item(name) : nullptr;
  if (!workbook) return 0;
  auto own_name = workbook->Name();
  auto full_name = workbook->FullName();
  if (!own_name || !full_name) return 0;
  return *own_name != *full_name ? kGenericWindowIcon : 0;
}

std::optional<double> ParseHostVersion(std::string_view text) {
  // Excel reports "12.0"; the decimal point is always a dot, whatever the user's locale.
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end == text.data()) return std::nullopt;
  return value;
}

std::optional<double> ReadHostVersion() {
  auto& app = Shared().oExcelApp;
  auto text = app ? app->Version() : std::nullopt;
  return text ? ParseHostVersion(*text) : std::nullopt;
}

}  // namespace vestrano
