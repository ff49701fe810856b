// Incoming Invoke arguments.
#include "host/win32/dispatch_args.h"

#include "host/win32/variant.h"

namespace vestrano::win32 {

const VARIANT* PositionalArg(const DISPPARAMS* params, UINT index) {
  if (!params || !params->rgvarg || index >= params->cArgs) return nullptr;
  const VARIANT* arg = &params->rgvarg[params->cArgs - 1 - index];
  if (arg->vt == (VT_VARIANT | VT_BYREF) && arg->pvarVal) arg = arg->pvarVal;
  return arg;
}

std::optional<bool> ReadByRefBool(const VARIANT* arg) {
  if (!arg) return std::nullopt;
  if (arg->vt == (VT_BOOL | VT_BYREF)) {
    if (!arg->pboolVal) return std::nullopt;
    return *arg->pboolVal != VARIANT_FALSE;
  }
  return VariantToBool(*arg);
}

bool WriteByRefBool(const VARIANT* arg, bool value) {
  if (!arg || arg->vt != (VT_BOOL | VT_BYREF) || !arg->pboolVal) return false;
  *arg->pboolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return true;
}

}  // namespace vestrano::win32
