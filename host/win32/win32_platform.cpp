// The one set of Win32 adapters, owned here and lent to the logic through CurrentPlatform().
#include "host/win32/win32_platform.h"

#include <memory>

#include "host/platform.h"
#include "host/win32/win32_hooks.h"
#include "host/win32/win32_registry.h"
#include "host/win32/win32_tab_placeholder.h"
#include "host/win32/win32_timers.h"
#include "host/win32/win32_window_system.h"

namespace vestrano::win32 {
namespace {

struct Adapters {
  explicit Adapters(HINSTANCE module) : controls(module), windows(module), hooks(module) {}
  Win32Registry registry;
  Win32ControlFactory controls;
  Win32WindowSystem windows;
  Win32Timers timers;
  Win32Clock clock;
  Win32Hooks hooks;
};

std::unique_ptr<Adapters>& Installed() {
  static std::unique_ptr<Adapters> adapters;
  return adapters;
}

}  // namespace

void InstallWin32Platform(HINSTANCE module) {
  auto& installed = Installed();
  if (installed) return;
  installed = std::make_unique<Adapters>(module);
  auto& platform = host::CurrentPlatform();
  platform.registry = &installed->registry;
  platform.controls = &installed->controls;
  platform.windows = &installed->windows;
  platform.timers = &installed->timers;
  platform.clock = &installed->clock;
  platform.hooks = &installed->hooks;
}

void UninstallWin32Platform() {
  auto& installed = Installed();
  if (!installed) return;
  auto& platform = host::CurrentPlatform();
  platform = host::Platform{.diagnostics = platform.diagnostics};
  installed.reset();
}

}  // namespace vestrano::win32
