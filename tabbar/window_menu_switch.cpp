// The Window-menu route. Its entries read "&<digit> <window caption>"; a workbook with several
// windows has captions "<name>:<number>", and with Explorer hiding extensions the captions carry
// none, so equal base names are told apart by their order. The workbook's name goes into every
// pattern with its wildcard characters made literal: a name such as "Q[1].xlsx" must never pick
// the entry of "Q1.xlsx".
#include "tabbar/window_menu_switch.h"

#include <optional>
#include <string_view>
#include <vector>

#include "base/wildcard.h"
#include "core/modified_mark.h"
#include "core/settings_keys.h"
#include "core/settings_store.h"
#include "core/shared_state.h"
#include "core/workbook_queries.h"
#include "host/registry.h"

namespace vestrano {
namespace {

constexpr std::string_view kEditingClasses[] = {"EXCEL<", "EXCEL6", "EDTBX"};
constexpr std::string_view kEntryPrefix = "&# ";
constexpr std::string_view kWindowNumber = ":#*";
constexpr std::string_view kMoreWindowsCaption = "其他窗口(&M)...";

// The name without its extension (up to its last dot).
std::string BaseName(std::string_view name) {
  const auto dot = name.rfind('.');
  return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

bool ExtensionsHidden() {
  std::int32_t hide = 0;
  GetRegValue(host::kHkeyCurrentUser, kExplorerAdvancedKey, kHideFileExtValue, hide);
  return hide == 1;
}

host::WorkbookPtr WorkbookNamed(std::string_view name) {
  auto& app = Shared().oExcelApp;
  auto workbooks = app ? app->Workbooks() : nullptr;
  return workbooks ? workbooks->Item(name) : nullptr;
}

std::vector<host::WindowPtr> WindowsOf(std::string_view name) {
  auto workbook = WorkbookNamed(name);
  auto windows = workbook ? workbook->Windows() : nullptr;
  return windows ? windows->Enumerate().value_or(std::vector<host::WindowPtr>{})
                 : std::vector<host::WindowPtr>{};
}

int VisibleWindowCount(std::string_view name) {
  int count = 0;
  for (const auto& window : WindowsOf(name)) {
    if (window && window->Visible().value_or(false)) ++count;
  }
  return count;
}

// The windows of the workbooks after the clicked tab whose base name is `base`: with extensions
// hidden, Excel lists their entries before the clicked workbook's.
int EntriesToSkip(host::ITabControl& tabs, host::ITabItem& item, const std::string& base) {
  const auto index = item.Index();
  const auto count = tabs.ItemCount();
  if (!index || !count) return 0;
  int skip = 0;
  for (int j = *count - 1; j > *index; --j) {
    auto other = tabs.Item(j);
    auto caption = other ? other->Caption() : std::nullopt;
    if (!caption) continue;
    const std::string name = StripModifiedMark(*caption);
    if (BaseName(name) == base) skip += VisibleWindowCount(name);
  }
  return skip;
}

// Executes the `skip`-th entry (0 the first) that matches `pattern`; true when one ran.
bool ExecuteEntry(const std::vector<host::CommandBarControlPtr>& entries,
                  const std::string& pattern, int skip) {
  int k = 0;
  for (const auto& entry : entries) {
    auto caption = entry ? entry->Caption() : std::nullopt;
    if (!caption || !MatchesPattern(*caption, pattern)) continue;
    if (k++ < skip) continue;
    Shared().bMenuActivating = true;
    entry->Execute();
    return true;
  }
  return false;
}

}  // namespace

bool IsEditingClass(std::string_view window_class) {
  for (std::string_view editing : kEditingClasses) {
    if (window_class == editing) return true;
  }
  return false;
}

void SwitchThroughWindowMenu(host::ITabControl& tabs, host::ITabItem& item,
                             const std::string& name) {
  auto& shared = Shared();
  const bool hidden = ExtensionsHidden();
  const bool multi = WindowsOf(name).size() >= 2;
  auto& app = shared.oExcelApp;
  auto bars = app ? app->CommandBars() : nullptr;
  auto menu = bars ? bars->FindControl(host::kControlWindowMenu) : nullptr;
  auto controls = menu ? menu->Controls() : nullptr;
  const auto entries = controls ? controls->Enumerate() : std::nullopt;

  const std::string wanted = hidden ? BaseName(name) : name;
  const std::string suffix = multi ? std::string(kWindowNumber) : std::string();
  const std::string pattern = std::string(kEntryPrefix) + LiteralPattern(wanted) + suffix;
  const int skip = hidden ? EntriesToSkip(tabs, item, wanted) : 0;
  if (entries && ExecuteEntry(*entries, pattern, skip)) return;

  // Not among the numbered entries: the window-list dialog, whose entry the focus hook picks.
  auto more = controls ? controls->Item(kMoreWindowsCaption) : nullptr;
  if (!more) return;
  shared.bMenuActivating = true;
  shared.sPendingWindow = LiteralPattern(wanted) + suffix;
  more->Execute();
}

}  // namespace vestrano
