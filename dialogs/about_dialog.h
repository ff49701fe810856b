// The about box `frmAbout`: what the add-in is and who made it, with a link to the maker's web
// page. It changes no setting.
#pragma once

#include "host/dialogs.h"
#include "host/excel.h"
#include "host/types.h"

namespace vestrano {

class frmAbout final : public host::IDialogEvents {
 public:
  // Kept as the options dialog keeps it; the about box reads nothing of Excel.
  void GanttApp(host::ApplicationPtr application) { GanttApp_ = std::move(application); }
  void SetExcelHwnd(Hwnd hwnd) { hOwnerWnd = hwnd; }
  Hwnd Owner() const { return hOwnerWnd; }

  bool Form_Load(host::IDialog& dialog) override;
  void Click(host::IDialog& dialog, host::DialogControl control) override;

 private:
  host::ApplicationPtr GanttApp_;
  Hwnd hOwnerWnd;
};

// Asks the shell to open the maker's web page: what a click on either dialog's link does.
void Labelblog_Click();

}  // namespace vestrano
