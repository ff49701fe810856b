// The add-in's two modal dialogs (the options and the about box) as windows: the logic of each
// dialog sets up and reads its controls through IDialog and hears what the user does through
// IDialogEvents; IDialogs makes the window and runs it modally over Excel. The Windows adapter
// builds real dialog windows; the fake keeps the controls' states in memory.
#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "host/types.h"

namespace vestrano::host {

enum class DialogKind { kOptions, kAbout };
// The dialogs' captions, which is how the user, and a test, tells them apart over Excel.
inline constexpr std::string_view kOptionsTitle = "Vestrano选项";
inline constexpr std::string_view kAboutTitle = "关于Vestrano";

// The controls that the logic touches, by their designer names. The options dialog has them all;
// the about box only cmdOK and Labelblog.
enum class DialogControl {
  Option1,    // style 0
  Option2,    // style 1
  Option5,    // style 2
  Option3,    // bar above the workbooks
  Option4,    // bar below
  Check1,     // all of Excel's windows in the taskbar
  Picture1,   // the style preview
  Picture3,   // the position preview
  cmdOK,      // "确 定"
  Labelblog,  // the link to the maker's web page
};

// The preview pictures, by their 1-based index in the options dialog's image list.
inline constexpr int kPictureAbove = 1;
inline constexpr int kPictureBelow = 2;
inline constexpr int kPictureStyle0 = 3;
inline constexpr int kPictureStyle1 = 4;
inline constexpr int kPictureStyle2 = 5;
inline constexpr int kPictureOldExcel = 6;

// One open dialog. Setters return false when the control refused or does not exist.
class IDialog {
 public:
  virtual ~IDialog() = default;
  // Option buttons and the check box.
  virtual std::optional<bool> Checked(DialogControl control) = 0;
  virtual bool SetChecked(DialogControl control, bool checked) = 0;
  virtual bool SetEnabled(DialogControl control, bool enabled) = 0;
  // Shows one of the preview pictures (kPicture...) in a picture box.
  virtual bool SetPicture(DialogControl control, int picture) = 0;
  // Closes the dialog; the modal run ends once the handler that called this returns.
  virtual bool Unload() = 0;
};

// What the dialog reports to its logic. Called on Excel's thread, inside the modal run.
class IDialogEvents {
 public:
  virtual ~IDialogEvents() = default;
  // The window and its controls exist and are not shown yet; false stops the dialog from
  // opening.
  virtual bool Form_Load(IDialog& dialog) = 0;
  // The user clicked a control. An option button is checked, and the check box toggled, before
  // this is called, as a click does.
  virtual void Click(IDialog& dialog, DialogControl control) = 0;
};

class IDialogs {
 public:
  virtual ~IDialogs() = default;
  // Makes the dialog, owned by `owner` (Excel's main window, which stays disabled while the
  // dialog is up; null: no owner), runs Form_Load, shows it and returns when it has been closed
  // by Unload, its close box or Esc. False when it could not be shown. The in-memory host may
  // return while the dialog is still open, keeping `events` until it closes: nothing the opener
  // does after the call may rely on the dialog being closed.
  virtual bool ShowModal(DialogKind kind, Hwnd owner, std::shared_ptr<IDialogEvents> events) = 0;
  // Asks the shell to open a web address with the user's browser; false when it could not.
  virtual bool OpenWebPage(std::string_view url) = 0;
};

}  // namespace vestrano::host
