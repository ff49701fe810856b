// Whether this process runs elevated. Elevated processes, Excel among them, ignore the per-user
// COM classes, so registration writes a machine-wide copy for them and the start-up installation
// takes no module from the user's folder.
#pragma once

#include <optional>

namespace vestrano::win32 {

// Empty optional when Windows cannot say: Windows XP has no elevation and refuses the query.
std::optional<bool> ProcessIsElevated();

}  // namespace vestrano::win32
