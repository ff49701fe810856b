// TokenElevation of the process's own token. Windows XP merges the user's classes into every
// process's view, so there "cannot say" and "not elevated" come to the same thing.
#include "host/win32/process_elevation.h"

#include "host/win32/win32_handles.h"
#include "host/win32/windows_api.h"

namespace vestrano::win32 {

std::optional<bool> ProcessIsElevated() {
  UniqueKernelHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Put())) return std::nullopt;
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  if (!GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof(elevation), &size)) {
    return std::nullopt;
  }
  return elevation.TokenIsElevated != 0;
}

}  // namespace vestrano::win32
