// Set once by DllMain when the DLL is loaded.
#include "addin/win32/this_module.h"

namespace vestrano::win32 {
namespace {

HMODULE g_module = nullptr;

}  // namespace

HMODULE ThisModule() noexcept {
  return g_module;
}
void SetThisModule(HMODULE module) noexcept {
  g_module = module;
}

}  // namespace vestrano::win32
