// The accessibility search. Each level asks for exactly as many children as the element says it
// has, and the recursion stops at kMaxAccDepth.
#include "winhook/accessibility_search.h"

#include "base/wildcard.h"
#include "host/platform.h"

namespace vestrano {
namespace {

constexpr std::string_view kOkButton = "确定";

AccFindResult Found(const host::AccessiblePtr& holder, std::int32_t child) {
  const auto state = holder->accState(child);
  return {holder, child, state && *state == kFocusedItemState};
}

AccFindResult Search(const host::AccessiblePtr& parent, std::string_view name, std::int32_t role,
                     int depth) {
  if (!parent || depth > kMaxAccDepth) return {};
  const auto count = parent->accChildCount();
  if (!count || *count <= 0) return {};
  const auto children = parent->Children(0, *count);
  if (children.status != host::AccessibleChildren::kAll) return {};
  for (const auto& child : children.children) {
    const auto& holder = child.object ? child.object : parent;
    const std::int32_t id = child.object ? host::kChildIdSelf : child.id;
    const auto child_name = holder->accName(id);
    const auto child_role = holder->accRole(id);
    if (!child_name || !child_role) continue;
    if (*child_role == role && MatchesPattern(*child_name, name)) return Found(holder, id);
    if (!child.object) continue;
    if (auto below = Search(child.object, name, role, depth + 1); below.oAcc) return below;
  }
  return {};
}

}  // namespace

AccFindResult AccFindChild(const host::AccessiblePtr& oParent, std::string_view sName,
                           std::int32_t nRole) {
  return Search(oParent, sName, nRole, 1);
}

void AccChooseItem(std::string_view sName, Hwnd hWnd) {
  auto* accessibility = host::CurrentPlatform().accessibility;
  auto window = accessibility ? accessibility->AccessibleObjectFromWindow(hWnd) : nullptr;
  if (!window) return;
  const auto item = AccFindChild(window, sName, host::kRoleListItem);
  if (item.oAcc && !item.bFocused) item.oAcc->accDoDefaultAction(item.vChild);
  // Pressed even without an item: the dialog then takes the one it had selected.
  const auto ok = AccFindChild(window, kOkButton, host::kRolePushButton);
  if (ok.oAcc) ok.oAcc->accDoDefaultAction(ok.vChild);
}

}  // namespace vestrano
