// Installs the Win32 adapters into host::CurrentPlatform() for as long as an add-in object is
// connected, and tears them down on Excel's thread when the last one lets go: its windows
// destroyed, its subclasses, timers and hooks removed, its window classes unregistered. Nothing
// of this may run later, from DllCanUnloadNow (any thread) or DllMain (the loader lock).
#pragma once

#include <memory>

#include "host/platform.h"
#include "host/win32/windows_api.h"

namespace vestrano::win32 {

// One holder's use of the adapters. The first use in the process installs them; releasing the
// last one tears them down. Holders live and act on Excel's thread only.
class Win32PlatformUse {
 public:
  Win32PlatformUse() = default;
  Win32PlatformUse(const Win32PlatformUse&) = delete;
  Win32PlatformUse& operator=(const Win32PlatformUse&) = delete;
  ~Win32PlatformUse() { Release(); }

  // Makes the factory of the tab bar's controls, which live in a layer above the adapters.
  using ControlFactoryMaker = std::unique_ptr<host::IControlFactory> (*)();

  // Makes the add-in's dialogs, which live in a layer above the adapters too.
  using DialogsMaker = std::unique_ptr<host::IDialogs> (*)(HINSTANCE module);

  // Idempotent for one holder. `module` is this DLL, which owns the window classes and hooks.
  void Acquire(HINSTANCE module, ControlFactoryMaker make_controls,
               DialogsMaker make_dialogs = nullptr);
  void Release() noexcept;

 private:
  bool held_ = false;
};

}  // namespace vestrano::win32
