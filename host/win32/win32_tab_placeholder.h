// A stand-in for the tab strip until our own tab control exists: a plain child window of the
// form where the strip will be, and the items kept in memory with the behaviour the tab bar
// relies on (selecting an item raises SelectedChanged before returning).
#pragma once

#include "host/platform.h"
#include "host/win32/windows_api.h"

namespace vestrano::win32 {

class Win32ControlFactory final : public host::IControlFactory {
 public:
  explicit Win32ControlFactory(HINSTANCE module) : module_(module) {}
  host::TabBarControls CreateTabBarControls(Hwnd form) override;

 private:
  HINSTANCE module_;
};

}  // namespace vestrano::win32
