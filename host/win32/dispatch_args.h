// Reading the arguments of an incoming IDispatch::Invoke (events, ribbon callbacks, the add-in
// interface): DISPPARAMS holds them last first, and callers may pass any of them by reference.
#pragma once

#include <optional>

#include "host/win32/windows_api.h"

namespace vestrano::win32 {

// The positional argument at `index` in declaration order, with a VT_VARIANT|VT_BYREF wrapper
// taken off; null when the caller passed fewer arguments.
const VARIANT* PositionalArg(const DISPPARAMS* params, UINT index);

// A boolean [in, out] argument (VT_BOOL|VT_BYREF, possibly inside a by-reference VARIANT).
std::optional<bool> ReadByRefBool(const VARIANT* arg);
// Writes back through it; false when the argument is not a by-reference boolean.
bool WriteByRefBool(const VARIANT* arg, bool value);

}  // namespace vestrano::win32
