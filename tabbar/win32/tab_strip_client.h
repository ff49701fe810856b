// The tab bar's side of our tab strip module: the form's controls made through COM (the strip
// from its registered class, or straight from the module file while its registration is still
// running), the host interfaces of host/tab_control.h over the strip's COM interfaces, and
// ImageList1 built from the add-in's own icon artwork at the size the strip draws icons.
#pragma once

#include "host/platform.h"
#include "host/win32/windows_api.h"

namespace vestrano::win32 {

class TabStripControlFactory final : public host::IControlFactory {
 public:
  TabStripControlFactory() = default;
  // Lets go of a module loaded straight from its file, once it has nothing alive.
  ~TabStripControlFactory() override;
  TabStripControlFactory(const TabStripControlFactory&) = delete;
  TabStripControlFactory& operator=(const TabStripControlFactory&) = delete;

  // No tab strip (and so no tabs, and nothing else wrong) when the module can be found neither
  // by its class nor as a file.
  host::TabBarControls CreateTabBarControls(Hwnd form) override;

 private:
  HRESULT CreateFromFile(REFIID iid, void** out);
  HMODULE module_ = nullptr;
};

}  // namespace vestrano::win32
