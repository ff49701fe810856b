// The about box's handlers, and the link that both dialogs carry.
#include "dialogs/about_dialog.h"

#include "dialogs/maker.h"
#include "host/platform.h"

namespace vestrano {

bool frmAbout::Form_Load(host::IDialog&) {
  return true;
}

void frmAbout::Click(host::IDialog& dialog, host::DialogControl control) {
  if (control == host::DialogControl::cmdOK) dialog.Unload();
  if (control == host::DialogControl::Labelblog) Labelblog_Click();
}

void Labelblog_Click() {
  if (auto* dialogs = host::CurrentPlatform().dialogs) dialogs->OpenWebPage(kMakerWebAddress);
}

}  // namespace vestrano
