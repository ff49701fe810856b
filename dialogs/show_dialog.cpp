// One modal dialog per opening, released by its opener once it has been shown; the window holds
// it for as long as it is open.
#include "dialogs/show_dialog.h"

#include <memory>

#include "core/shared_state.h"
#include "dialogs/about_dialog.h"
#include "dialogs/option_dialog.h"
#include "host/platform.h"

namespace vestrano {
namespace {

template <typename Form>
bool ShowForm(host::DialogKind kind) {
  auto* dialogs = host::CurrentPlatform().dialogs;
  const auto& application = Shared().oExcelApp;
  if (!dialogs || !application) return false;
  auto form = std::make_shared<Form>();
  form->GanttApp(application);
  // Read again: the dialog's owner is whatever Excel's main window is now.
  const auto hwnd = application->Hwnd();
  if (!hwnd) return false;
  form->SetExcelHwnd(*hwnd);
  const Hwnd owner = form->Owner();
  return dialogs->ShowModal(kind, owner, std::move(form));
}

}  // namespace

bool ShowOptionDialog() {
  return ShowForm<frmOption>(host::DialogKind::kOptions);
}

bool ShowAboutDialog() {
  return ShowForm<frmAbout>(host::DialogKind::kAbout);
}

}  // namespace vestrano
