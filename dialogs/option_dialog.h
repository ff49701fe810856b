// The options dialog `frmOption`: where the tab bar sits, which of the three tab styles the strip
// uses, and whether Excel shows all its windows in the taskbar. OK stores the choices, applies
// them to the running tab bar at once and closes; the close box closes without storing.
#pragma once

#include <optional>

#include "host/dialogs.h"
#include "host/excel.h"
#include "host/types.h"

namespace vestrano {

class frmOption final : public host::IDialogEvents {
 public:
  // The connected Excel, whose version and taskbar setting the dialog reads and writes.
  void GanttApp(host::ApplicationPtr application) { GanttApp_ = std::move(application); }
  // Excel's main window, which owns the dialog.
  void SetExcelHwnd(Hwnd hwnd) { hOwnerWnd = hwnd; }
  Hwnd Owner() const { return hOwnerWnd; }

  // Checks the stored style and position, shows their previews, disables the styles on an
  // Excel too old for them and reads Excel's taskbar setting. Stops at the first step that fails.
  bool Form_Load(host::IDialog& dialog) override;
  void Click(host::IDialog& dialog, host::DialogControl control) override;

 private:
  void cmdOK_Click(host::IDialog& dialog);
  std::optional<double> HostVersion() const;

  host::ApplicationPtr GanttApp_;
  Hwnd hOwnerWnd;
};

}  // namespace vestrano
