// The tab bar's side of our tab strip module: the form's controls made through COM (the strip
// straight from the module file that the start-up installation chose, which it judged by its
// machine and version: COM's own lookup would take an older module as readily), the host
// interfaces of host/tab_control.h over the strip's COM interfaces, and ImageList1 built from the
// add-in's own icon artwork at the size the strip draws icons.
#pragma once

#include <optional>
#include <string>
#include <utility>

#include "host/platform.h"
#include "host/win32/windows_api.h"

namespace vestrano::win32 {

class TabStripControlFactory final : public host::IControlFactory {
 public:
  explicit TabStripControlFactory(std::optional<std::wstring> module_file)
      : module_file_(std::move(module_file)) {}
  // Lets go of a module loaded straight from its file, once it has nothing alive.
  ~TabStripControlFactory() override;
  TabStripControlFactory(const TabStripControlFactory&) = delete;
  TabStripControlFactory& operator=(const TabStripControlFactory&) = delete;

  // No tab strip (and so no tabs, and nothing else wrong) when there is no module file, or it
  // does not load.
  host::TabBarControls CreateTabBarControls(Hwnd form) override;

 private:
  HRESULT CreateFromFile(REFIID iid, void** out);
  std::optional<std::wstring> module_file_;
  HMODULE module_ = nullptr;
};

}  // namespace vestrano::win32
