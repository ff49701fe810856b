// Microsoft Active Accessibility as the focus hook uses it to drive Excel's window-list dialog:
// the accessible object of a window, its children (AccessibleChildren) and the IAccessible
// members read or called on them.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/types.h"

namespace vestrano::host {

inline constexpr std::int32_t kChildIdSelf = 0;
// Roles.
inline constexpr std::int32_t kRoleTitleBar = 4;
inline constexpr std::int32_t kRoleWindow = 9;
inline constexpr std::int32_t kRoleClient = 10;
inline constexpr std::int32_t kRoleList = 33;
inline constexpr std::int32_t kRoleListItem = 34;
inline constexpr std::int32_t kRolePushButton = 43;
// States.
inline constexpr std::uint32_t kStateFocused = 0x4;
inline constexpr std::uint32_t kStateHotTracked = 0x80;
inline constexpr std::uint32_t kStateFocusable = 0x100000;
inline constexpr std::uint32_t kStateSelectable = 0x200000;

class IAccessibleObject;
using AccessiblePtr = std::shared_ptr<IAccessibleObject>;

// One element of a container: an object of its own, or a simple child of the container
// identified by `id`.
struct AccessibleChild {
  AccessiblePtr object;
  std::int32_t id = 0;
};

struct AccessibleChildren {
  // kAll: S_OK; kFewer: S_FALSE, fewer children than asked for; kFailed: an error.
  enum Status { kAll, kFewer, kFailed } status = kFailed;
  std::vector<AccessibleChild> children;
};

// One IAccessible. `child` is kChildIdSelf for the object itself, or a simple child's id.
class IAccessibleObject {
 public:
  virtual ~IAccessibleObject() = default;
  virtual std::optional<std::int32_t> accChildCount() = 0;
  // oleacc's AccessibleChildren on this object: `count` children from `start`.
  virtual AccessibleChildren Children(std::int32_t start, std::int32_t count) = 0;
  // The empty string when the element has no name; empty optional on an error.
  virtual std::optional<std::string> accName(std::int32_t child) = 0;
  // Empty also when the role is not a number (a role given as text).
  virtual std::optional<std::int32_t> accRole(std::int32_t child) = 0;
  virtual std::optional<std::uint32_t> accState(std::int32_t child) = 0;
  virtual bool accDoDefaultAction(std::int32_t child) = 0;
};

class IAccessibility {
 public:
  virtual ~IAccessibility() = default;
  // The window's accessible object (OBJID_WINDOW); null when it has none.
  virtual AccessiblePtr AccessibleObjectFromWindow(Hwnd hwnd) = 0;
};

}  // namespace vestrano::host
