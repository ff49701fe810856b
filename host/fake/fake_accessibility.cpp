// The fake accessible trees. A call about a child id that does not exist fails, as
// E_INVALIDARG does.
#include "host/fake/fake_accessibility.h"

namespace vestrano::fake {

std::int32_t FakeAccessible::AddSimple(Simple child) {
  children_.emplace_back(std::move(child));
  return static_cast<std::int32_t>(children_.size());
}

const FakeAccessible::Simple* FakeAccessible::SimpleChild(std::int32_t id) const {
  if (id < 1 || id > static_cast<std::int32_t>(children_.size())) return nullptr;
  return std::get_if<Simple>(&children_[static_cast<std::size_t>(id - 1)]);
}

std::optional<std::int32_t> FakeAccessible::accChildCount() {
  if (!calls_.Enter("Accessible.accChildCount")) return std::nullopt;
  return claimed_.value_or(static_cast<std::int32_t>(children_.size()));
}

host::AccessibleChildren FakeAccessible::Children(std::int32_t start, std::int32_t count) {
  host::AccessibleChildren result;
  if (!calls_.Enter("Accessible.Children") || start < 0 || count < 0) return result;
  for (std::size_t i = static_cast<std::size_t>(start);
       i < children_.size() && result.children.size() < static_cast<std::size_t>(count); ++i) {
    if (const auto* object = std::get_if<std::shared_ptr<FakeAccessible>>(&children_[i])) {
      result.children.push_back({*object, 0});
    } else {
      result.children.push_back({nullptr, static_cast<std::int32_t>(i + 1)});
    }
  }
  result.status = result.children.size() == static_cast<std::size_t>(count)
                      ? host::AccessibleChildren::kAll
                      : host::AccessibleChildren::kFewer;
  return result;
}

std::optional<std::string> FakeAccessible::accName(std::int32_t child) {
  if (!calls_.Enter("Accessible.accName")) return std::nullopt;
  if (child == host::kChildIdSelf) return name_;
  const Simple* simple = SimpleChild(child);
  return simple ? std::optional<std::string>(simple->name) : std::nullopt;
}

std::optional<std::int32_t> FakeAccessible::accRole(std::int32_t child) {
  if (!calls_.Enter("Accessible.accRole")) return std::nullopt;
  if (child == host::kChildIdSelf) {
    return role_as_text_ ? std::nullopt : std::optional<std::int32_t>(role_);
  }
  const Simple* simple = SimpleChild(child);
  return simple ? std::optional<std::int32_t>(simple->role) : std::nullopt;
}

std::optional<std::uint32_t> FakeAccessible::accState(std::int32_t child) {
  if (!calls_.Enter("Accessible.accState")) return std::nullopt;
  if (child == host::kChildIdSelf) return state_;
  const Simple* simple = SimpleChild(child);
  return simple ? std::optional<std::uint32_t>(simple->state) : std::nullopt;
}

bool FakeAccessible::accDoDefaultAction(std::int32_t child) {
  if (!calls_.Enter("Accessible.accDoDefaultAction")) return false;
  const std::function<void()>* action = &action_;
  if (child != host::kChildIdSelf) {
    const Simple* simple = SimpleChild(child);
    if (!simple) return false;
    action = &simple->action;
  }
  if (!*action) return false;
  // A copy: the action may close the window whose tree this is.
  const auto run = *action;
  run();
  return true;
}

host::AccessiblePtr FakeAccessibility::AccessibleObjectFromWindow(Hwnd hwnd) {
  if (!calls_.Enter("Accessibility.ObjectFromWindow")) return nullptr;
  const auto found = providers_.find(hwnd);
  return found == providers_.end() ? nullptr : found->second();
}

}  // namespace vestrano::fake
