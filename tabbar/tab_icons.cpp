// The extension table of the tab icons.
#include "tabbar/tab_icons.h"

#include <array>
#include <string>
#include <utility>

#include "base/utf8.h"
#include "core/shared_state.h"

namespace vestrano {
namespace {

struct ExtensionIcon {
  std::string_view extension;
  std::int32_t index;
};

// First match wins; anything else, "XLS" among them, is the workbook icon 0.
constexpr std::array<ExtensionIcon, 20> kExtensionIcons{{
    {"XLSX", 13}, {"XLSM", 13}, {"HTM", 1},  {"HTML", 1}, {"MHT", 1},  {"MHTML", 1}, {"DOC", 2},
    {"DOT", 2},   {"MDB", 3},   {"TXT", 4},  {"XLA", 5},  {"XML", 6},  {"RTF", 7},   {"ET", 8},
    {"XLT", 9},   {"CSV", 10},  {"SLK", 12}, {"DIF", 12}, {"PRN", 11}, {"WKS", 11},
}};

// Name and full name of the open workbook of that name, as Excel finds it (letter case ignored).
std::optional<std::pair<std::string, std::string>> AskNames(std::string_view name) {
  auto& app = Shared().oExcelApp;
  auto workbooks = app ? app->Workbooks() : nullptr;
  auto workbook = workbooks ? workbooks->Item(name) : nullptr;
  if (!workbook) return std::nullopt;
  auto own_name = workbook->Name();
  auto full_name = workbook->FullName();
  if (!own_name || !full_name) return std::nullopt;
  return std::pair{*own_name, *full_name};
}

}  // namespace

std::int32_t GetTabImageIndex(std::string_view name, std::optional<std::string_view> full_name) {
  if (const auto dot = name.rfind('.'); dot != std::string_view::npos) {
    const std::string extension = AsciiUpper(name.substr(dot + 1));
    for (const auto& [known, index] : kExtensionIcons) {
      if (extension == known) return index;
    }
    return kWorkbookIcon;
  }
  if (full_name) return *full_name != name ? kGenericWindowIcon : kWorkbookIcon;
  const auto asked = AskNames(name);
  return asked && asked->first != asked->second ? kGenericWindowIcon : kWorkbookIcon;
}

}  // namespace vestrano
