// The platform services the logic reaches through process-wide entry points (window procedures,
// timer and hook procedures have no context argument, so the services cannot be passed down).
// The DLL installs the Win32 adapters once; vestrano-sim and the tests install fakes.
#pragma once

#include "host/accessibility.h"
#include "host/diagnostics.h"
#include "host/dialogs.h"
#include "host/hooks.h"
#include "host/processes.h"
#include "host/registry.h"
#include "host/tab_control.h"
#include "host/timers.h"
#include "host/window_system.h"

namespace vestrano::host {

// The controls that the tab bar form carries.
struct TabBarControls {
  TabControlPtr tabs;
  ImageListPtr images;
};

class IControlFactory {
 public:
  virtual ~IControlFactory() = default;
  // Creates the tab strip, as a child of the form's window, and the icon list for a newly
  // loaded tab bar form.
  virtual TabBarControls CreateTabBarControls(Hwnd form) = 0;
};

struct Platform {
  IRegistry* registry = nullptr;
  IControlFactory* controls = nullptr;
  IWindowSystem* windows = nullptr;
  ITimers* timers = nullptr;
  IClock* clock = nullptr;
  IHooks* hooks = nullptr;
  IDiagnostics* diagnostics = nullptr;
  IAccessibility* accessibility = nullptr;
  IProcesses* processes = nullptr;
  IDialogs* dialogs = nullptr;
};

// The installed services. Every member is set before the add-in is connected.
Platform& CurrentPlatform();

}  // namespace vestrano::host
