// Accessibility for the tests and vestrano-sim: accessible trees built from plain nodes (objects
// with children of their own, and simple children identified by their position), and the windows
// that answer WM_GETOBJECT with one. Every IAccessible member is recorded as "Accessible.<member>"
// and can fail on request; a node can also be told to give fewer children than it claims, as
// AccessibleChildren's S_FALSE says.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "host/accessibility.h"
#include "host/fake/host_calls.h"

namespace vestrano::fake {

class FakeAccessible final : public host::IAccessibleObject {
 public:
  // A simple child: no object of its own; its parent answers for it by its id.
  struct Simple {
    std::string name;
    std::int32_t role = 0;
    std::uint32_t state = 0;
    std::function<void()> action;
  };

  FakeAccessible(HostCalls& calls, std::string name, std::int32_t role, std::uint32_t state = 0)
      : calls_(calls), name_(std::move(name)), role_(role), state_(state) {}

  // Children in order. A simple child's id is its 1-based position among all children.
  void AddObject(std::shared_ptr<FakeAccessible> child) {
    children_.emplace_back(std::move(child));
  }
  std::int32_t AddSimple(Simple child);
  // Drops the children, so that a tree made to loop can be freed.
  void ClearChildren() { children_.clear(); }
  void SetAction(std::function<void()> action) { action_ = std::move(action); }
  // accChildCount answers `count` whatever the children are, and AccessibleChildren then gives
  // what there is with S_FALSE when that is fewer.
  void ClaimChildCount(std::int32_t count) { claimed_ = count; }
  // The role as text, which is no number.
  void GiveRoleAsText() { role_as_text_ = true; }

  // --- host::IAccessibleObject ---
  std::optional<std::int32_t> accChildCount() override;
  host::AccessibleChildren Children(std::int32_t start, std::int32_t count) override;
  std::optional<std::string> accName(std::int32_t child) override;
  std::optional<std::int32_t> accRole(std::int32_t child) override;
  std::optional<std::uint32_t> accState(std::int32_t child) override;
  bool accDoDefaultAction(std::int32_t child) override;

 private:
  using Child = std::variant<std::shared_ptr<FakeAccessible>, Simple>;
  // The simple child of that id; null for an object child or an id out of range.
  const Simple* SimpleChild(std::int32_t id) const;

  HostCalls& calls_;
  std::string name_;
  std::int32_t role_;
  std::uint32_t state_;
  std::function<void()> action_;
  std::vector<Child> children_;
  std::optional<std::int32_t> claimed_;
  bool role_as_text_ = false;
};

class FakeAccessibility final : public host::IAccessibility {
 public:
  explicit FakeAccessibility(HostCalls& calls) : calls_(calls) {}
  using Provider = std::function<host::AccessiblePtr()>;

  // The window answers WM_GETOBJECT with what `provider` makes, until withdrawn.
  void Provide(Hwnd hwnd, Provider provider) { providers_[hwnd] = std::move(provider); }
  void Withdraw(Hwnd hwnd) { providers_.erase(hwnd); }

  // --- host::IAccessibility ---
  host::AccessiblePtr AccessibleObjectFromWindow(Hwnd hwnd) override;

 private:
  HostCalls& calls_;
  std::map<Hwnd, Provider> providers_;
};

}  // namespace vestrano::fake
