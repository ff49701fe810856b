// The pin is asked by address, so that it needs no module handle and cannot pin another module
// that happens to carry the same name. GetModuleHandleExW and its pin flag exist from Windows XP.
#include "host/win32/module_pin.h"

#include "host/diagnostics.h"
#include "host/win32/windows_api.h"

namespace vestrano::win32 {
namespace {

bool g_pinned = false;

}  // namespace

bool PinThisModule() noexcept {
  if (g_pinned) return true;
  HMODULE module = nullptr;
  g_pinned =
      GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                         reinterpret_cast<LPCWSTR>(reinterpret_cast<const void*>(&PinThisModule)),
                         &module) != FALSE;
  if (!g_pinned) host::ReportFailure("PinThisModule", "Windows would not keep the DLL loaded");
  return g_pinned;
}

}  // namespace vestrano::win32
