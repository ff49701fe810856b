// The accessibility search with which the focus hook makes a choice in Excel's window-list
// dialog: find an element by name pattern and role in a window's accessible tree, and perform
// its default action.
#pragma once

#include <cstdint>
#include <string_view>

#include "host/accessibility.h"
#include "host/types.h"

namespace vestrano {

// The state of the list item that is already selected: exactly focusable, hot-tracked, focused.
inline constexpr std::uint32_t kFocusedItemState =
    host::kStateFocusable | host::kStateHotTracked | host::kStateFocused;
// How many levels below the window the search looks: deep enough for any dialog, and a tree whose
// provider loops cannot exhaust Excel's stack.
inline constexpr int kMaxAccDepth = 16;

struct AccFindResult {
  // The object that holds the match; null when nothing matched.
  host::AccessiblePtr oAcc;
  // The match within oAcc: kChildIdSelf when it is oAcc itself, else the simple child's id.
  std::int32_t vChild = host::kChildIdSelf;
  // The match's state is exactly kFocusedItemState.
  bool bFocused = false;
};

// Depth-first, in order: the first element below `oParent` whose name matches the wildcard
// pattern `sName` and whose role is `nRole`. An element whose name or role cannot be read is
// passed over, and so is a level whose children cannot all be had.
AccFindResult AccFindChild(const host::AccessiblePtr& oParent, std::string_view sName,
                           std::int32_t nRole);

// In the window `hWnd`: selects the list item that matches `sName` (unless it is selected), then
// presses the "确定" button whether or not an item was found.
void AccChooseItem(std::string_view sName, Hwnd hWnd);

}  // namespace vestrano
