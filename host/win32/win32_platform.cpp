// The one set of Win32 adapters, lent to the logic through CurrentPlatform(). Only a pointer and
// a count are static: storage with a destructor would run Win32 and release windows at process
// exit, under the loader lock. Adapters still installed then are left to the process's end.
#include "host/win32/win32_platform.h"

#include "host/diagnostics.h"
#include "host/platform.h"
#include "host/win32/win32_accessibility.h"
#include "host/win32/win32_hooks.h"
#include "host/win32/win32_processes.h"
#include "host/win32/win32_registry.h"
#include "host/win32/win32_timers.h"
#include "host/win32/win32_window_system.h"

namespace vestrano::win32 {
namespace {

struct Adapters {
  Adapters(HINSTANCE module, std::unique_ptr<host::IControlFactory> made_controls,
           std::unique_ptr<host::IDialogs> made_dialogs)
      : controls(std::move(made_controls)),
        dialogs(std::move(made_dialogs)),
        windows(module),
        hooks(module) {}
  Win32Registry registry;
  // Destroyed after the windows, which the controls it made live in.
  std::unique_ptr<host::IControlFactory> controls;
  std::unique_ptr<host::IDialogs> dialogs;
  Win32WindowSystem windows;
  Win32Timers timers;
  Win32Clock clock;
  Win32Hooks hooks;
  Win32Accessibility accessibility;
  Win32Processes processes;
};

constinit Adapters* g_adapters = nullptr;
constinit int g_uses = 0;

void Install(HINSTANCE module, Win32PlatformUse::ControlFactoryMaker make_controls,
             Win32PlatformUse::DialogsMaker make_dialogs) {
  g_adapters = new Adapters(module, make_controls ? make_controls() : nullptr,
                            make_dialogs ? make_dialogs(module) : nullptr);
  auto& platform = host::CurrentPlatform();
  platform.registry = &g_adapters->registry;
  platform.controls = g_adapters->controls.get();
  platform.windows = &g_adapters->windows;
  platform.timers = &g_adapters->timers;
  platform.clock = &g_adapters->clock;
  platform.hooks = &g_adapters->hooks;
  platform.accessibility = &g_adapters->accessibility;
  platform.processes = &g_adapters->processes;
  platform.dialogs = g_adapters->dialogs.get();
}

void Uninstall() noexcept {
  Adapters* adapters = g_adapters;
  if (!adapters) return;
  try {
    // The windows' last messages still reach the logic, which still finds its services.
    adapters->windows.ReleaseWindows();
  } catch (...) {
    host::ReportCaughtException("releasing the add-in's windows");
  }
  auto& platform = host::CurrentPlatform();
  platform = host::Platform{.diagnostics = platform.diagnostics};
  g_adapters = nullptr;
  // Kills the timers, removes the hooks and unregisters the window classes.
  delete adapters;
}

}  // namespace

void Win32PlatformUse::Acquire(HINSTANCE module, ControlFactoryMaker make_controls,
                               DialogsMaker make_dialogs) {
  if (held_) return;
  if (g_uses == 0 && !g_adapters) Install(module, make_controls, make_dialogs);
  ++g_uses;
  held_ = true;
}

void Win32PlatformUse::Release() noexcept {
  if (!held_) return;
  held_ = false;
  if (--g_uses == 0) Uninstall();
}

}  // namespace vestrano::win32
