// The accessibility search that picks a window in Excel's window-list dialog: which element it
// finds in trees of objects and simple children, what a failing call or an incomplete level
// costs (that element or level only), the exact focused state, the depth bound that stops a tree
// whose provider loops, and the default actions AccChooseItem performs.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/fake/fake_accessibility.h"
#include "sim/sim_host.h"
#include "winhook/accessibility_search.h"

namespace vestrano {
namespace {

using fake::FakeAccessible;
using host::kRoleListItem;
using host::kRolePushButton;

constexpr std::uint32_t kPlainItem = host::kStateFocusable | host::kStateSelectable;

// A window-list dialog's tree: window > client > (list > simple items, "确定" button).
struct Dialog {
  explicit Dialog(fake::HostCalls& calls, std::vector<std::string> captions,
                  std::size_t selected = 0)
      : calls(calls) {
    root = Node("激活", host::kRoleWindow);
    client = Node("激活", host::kRoleClient);
    list = Node("", host::kRoleList);
    for (std::size_t i = 0; i < captions.size(); ++i) {
      list->AddSimple({captions[i], kRoleListItem, i == selected ? kFocusedItemState : kPlainItem,
                       [this, i] { chosen.push_back(i); }});
    }
    ok = Node("确定", kRolePushButton);
    ok->SetAction([this] { ++presses; });
    client->AddObject(list);
    client->AddObject(ok);
    root->AddObject(Node("激活", host::kRoleTitleBar));
    root->AddObject(client);
  }
  std::shared_ptr<FakeAccessible> Node(std::string name, std::int32_t role) {
    return std::make_shared<FakeAccessible>(calls, std::move(name), role);
  }

  fake::HostCalls& calls;
  std::shared_ptr<FakeAccessible> root, client, list, ok;
  std::vector<std::size_t> chosen;
  int presses = 0;
};

TEST(AccFindChild, FindsSimpleAndObjectChildrenByPatternAndRole) {
  fake::HostCalls calls;
  Dialog dialog(calls, {"Book1", "Book1:2", "Q[1].xlsx", "确定"}, 1);

  auto item = AccFindChild(dialog.root, "Book1:#*", kRoleListItem);
  EXPECT_EQ(item.oAcc, dialog.list);
  EXPECT_EQ(item.vChild, 2);
  EXPECT_TRUE(item.bFocused);
  item = AccFindChild(dialog.root, "Book1", kRoleListItem);
  EXPECT_EQ(item.vChild, 1);
  EXPECT_FALSE(item.bFocused);
  // A bracket in the pattern is a class unless it was made literal.
  EXPECT_FALSE(AccFindChild(dialog.root, "Q[1].xlsx", kRoleListItem).oAcc);
  EXPECT_EQ(AccFindChild(dialog.root, "Q[[]1].xlsx", kRoleListItem).vChild, 3);

  // An object of its own is returned itself, with CHILDID_SELF; the role must match too, and
  // the whole name.
  auto ok = AccFindChild(dialog.root, "确定", kRolePushButton);
  EXPECT_EQ(ok.oAcc, dialog.ok);
  EXPECT_EQ(ok.vChild, host::kChildIdSelf);
  EXPECT_EQ(AccFindChild(dialog.root, "确定", kRoleListItem).vChild, 4);
  EXPECT_FALSE(AccFindChild(dialog.root, "确", kRolePushButton).oAcc);
  dialog.ok->AddSimple({"确定(O)", kRolePushButton, 0, {}});
  EXPECT_FALSE(AccFindChild(dialog.ok, "确定", kRolePushButton).oAcc);
  EXPECT_FALSE(AccFindChild(dialog.root, "Missing", kRoleListItem).oAcc);
}

TEST(AccFindChild, FocusedMeansExactlyFocusableHotTrackedFocused) {
  fake::HostCalls calls;
  auto list = std::make_shared<FakeAccessible>(calls, "", host::kRoleList);
  for (std::uint32_t state : {kFocusedItemState, kFocusedItemState | host::kStateSelectable,
                              kFocusedItemState & ~host::kStateHotTracked, 0u}) {
    list->AddSimple({"Item", kRoleListItem, state, {}});
    const auto found = AccFindChild(list, "Item", kRoleListItem);
    EXPECT_EQ(found.bFocused, state == kFocusedItemState) << state;
    list->ClearChildren();
  }
  // A state that cannot be read is not the focused one.
  list->AddSimple({"Item", kRoleListItem, kFocusedItemState, {}});
  calls.FailCall("Accessible.accState", 1);
  const auto found = AccFindChild(list, "Item", kRoleListItem);
  EXPECT_TRUE(found.oAcc);
  EXPECT_FALSE(found.bFocused);
}

TEST(AccFindChild, AFailingCallOrIncompleteLevelCostsOnlyItsElement) {
  fake::HostCalls calls;
  Dialog first(calls, {"Book1"});
  Dialog second(calls, {"Book1"});
  auto root = first.Node("", host::kRoleWindow);
  root->AddObject(first.root);
  root->AddObject(second.root);

  // A level that gives fewer children than it claims counts as having no match.
  first.list->ClaimChildCount(2);
  EXPECT_EQ(AccFindChild(root, "Book1", kRoleListItem).oAcc, second.list);
  first.list->ClaimChildCount(1);
  EXPECT_EQ(AccFindChild(root, "Book1", kRoleListItem).oAcc, first.list);

  // An object whose name cannot be read is passed over, with everything below it.
  calls.FailCall("Accessible.accName", 1);
  EXPECT_EQ(AccFindChild(root, "Book1", kRoleListItem).oAcc, second.list);
  // A role given as text cannot be compared, and is passed over like one that cannot be read.
  first.client->GiveRoleAsText();
  EXPECT_EQ(AccFindChild(root, "Book1", kRoleListItem).oAcc, second.list);

  for (const char* failing : {"Accessible.accChildCount", "Accessible.Children"}) {
    calls.FailCall(failing);
    EXPECT_FALSE(AccFindChild(root, "Book1", kRoleListItem).oAcc) << failing;
    calls.StopFailing();
  }
  EXPECT_FALSE(AccFindChild(nullptr, "Book1", kRoleListItem).oAcc);
}

TEST(AccFindChild, StopsAtTheDepthBoundInATreeThatLoops) {
  fake::HostCalls calls;
  auto top = std::make_shared<FakeAccessible>(calls, "", host::kRoleWindow);
  auto below = std::make_shared<FakeAccessible>(calls, "", host::kRoleClient);
  top->AddObject(below);
  below->AddObject(top);
  EXPECT_FALSE(AccFindChild(top, "Book1", kRoleListItem).oAcc);
  EXPECT_EQ(calls.CountOf("Accessible.Children"), static_cast<std::size_t>(kMaxAccDepth));

  // A match just inside the bound is still found; one level deeper is not.
  std::vector<std::shared_ptr<FakeAccessible>> chain{top};
  top->ClearChildren();
  below->ClearChildren();
  for (int level = 1; level < kMaxAccDepth; ++level) {
    chain.push_back(std::make_shared<FakeAccessible>(calls, "", host::kRoleClient));
    chain[chain.size() - 2]->AddObject(chain.back());
  }
  chain.back()->AddSimple({"Deep", kRoleListItem, 0, {}});
  EXPECT_EQ(AccFindChild(top, "Deep", kRoleListItem).oAcc, chain.back());
  auto deeper = std::make_shared<FakeAccessible>(calls, "", host::kRoleWindow);
  deeper->AddObject(top);
  EXPECT_FALSE(AccFindChild(deeper, "Deep", kRoleListItem).oAcc);
}

TEST(AccChooseItem, SelectsTheItemUnlessSelectedThenPressesOk) {
  sim::SimHost host;
  const Hwnd window{0x5150};
  Dialog dialog(host.calls, {"A.xlsx", "B.xlsx"}, 0);
  host.accessibility.Provide(window, [&] { return dialog.root; });

  AccChooseItem("B.xlsx", window);
  EXPECT_EQ(dialog.chosen, std::vector<std::size_t>{1});
  EXPECT_EQ(dialog.presses, 1);
  // Already the selected item: only "确定".
  AccChooseItem("A.xlsx", window);
  EXPECT_EQ(dialog.chosen.size(), 1u);
  EXPECT_EQ(dialog.presses, 2);
  // No such item: "确定" all the same, and the dialog takes what it had selected.
  AccChooseItem("C.xlsx", window);
  EXPECT_EQ(dialog.presses, 3);
  // A window without an accessible object of its own.
  AccChooseItem("B.xlsx", Hwnd{0x5160});
  EXPECT_EQ(dialog.presses, 3);
}

}  // namespace
}  // namespace vestrano
