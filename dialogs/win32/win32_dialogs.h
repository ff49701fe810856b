// The options and about dialogs as real Win32 modal dialogs: made from an in-memory template,
// owned by Excel's main window (which stays disabled while one is up), with controls placed in
// twips at the screen's resolution, the font "微软雅黑" where Windows has it and the system's
// dialog font where not, and the usual keyboard: Tab and the arrow keys between controls, Enter
// for OK, Esc for the close box.
#pragma once

#include "host/dialogs.h"
#include "host/win32/windows_api.h"

namespace vestrano::win32 {

class Win32Dialogs final : public host::IDialogs {
 public:
  // `module` is the add-in's DLL, which owns the dialogs.
  explicit Win32Dialogs(HINSTANCE module) : module_(module) {}

  bool ShowModal(host::DialogKind kind, Hwnd owner,
                 std::shared_ptr<host::IDialogEvents> events) override;
  // ShellExecute with the default verb.
  bool OpenWebPage(std::string_view url) override;

 private:
  HINSTANCE module_;
};

}  // namespace vestrano::win32
