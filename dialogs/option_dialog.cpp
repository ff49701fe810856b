// The options dialog's handlers. Like every dialog handler they trap no errors of their own: a
// step that fails ends the handler. Steps that set up the tab strip are left out when the bar has
// no strip (its module missing), so that the choices are still stored and the dialog closes.
#include "dialogs/option_dialog.h"

#include "core/host_version.h"
#include "core/settings_keys.h"
#include "core/settings_store.h"
#include "core/shared_state.h"
#include "dialogs/about_dialog.h"
#include "host/registry.h"
#include "winhook/desk_strip.h"

namespace vestrano {
namespace {

using host::DialogControl;

// The style option of each "Theme" value, and the preview it shows.
struct StyleOption {
  DialogControl option;
  int picture;
};
constexpr StyleOption kStyleOptions[] = {
    {DialogControl::Option1, host::kPictureStyle0},
    {DialogControl::Option2, host::kPictureStyle1},
    {DialogControl::Option5, host::kPictureStyle2},
};

// Excel 2003 is the first version with the styles' colours.
constexpr double kFirstStyledVersion = 11;

void StoreSetting(std::string_view name, std::int32_t value) {
  SetRegValue(host::kHkeyCurrentUser, kVestranoKey, name, host::kRegDword, value);
}

}  // namespace

std::optional<double> frmOption::HostVersion() const {
  auto text = GanttApp_ ? GanttApp_->Version() : std::nullopt;
  return text ? ParseHostVersion(*text) : std::nullopt;
}

bool frmOption::Form_Load(host::IDialog& dialog) {
  auto& shared = Shared();
  GetRegValue(host::kHkeyCurrentUser, kVestranoKey, kThemeValue, shared.nTabTheme);
  GetRegValue(host::kHkeyCurrentUser, kVestranoKey, kPositionValue, shared.nTabPosition);
  // A stored style outside 0 to 2 checks none, and the preview stays as designed.
  if (shared.nTabTheme >= 0 && shared.nTabTheme <= 2) {
    const auto& style = kStyleOptions[shared.nTabTheme];
    if (!dialog.SetChecked(style.option, true) ||
        !dialog.SetPicture(DialogControl::Picture1, style.picture)) {
      return false;
    }
  }
  const bool below = shared.nTabPosition != 0;
  if (!dialog.SetChecked(below ? DialogControl::Option4 : DialogControl::Option3, true) ||
      !dialog.SetPicture(DialogControl::Picture3,
                         below ? host::kPictureBelow : host::kPictureAbove)) {
    return false;
  }
  const auto version = HostVersion();
  if (!version) return false;
  if (*version < kFirstStyledVersion) {
    if (!dialog.SetPicture(DialogControl::Picture1, host::kPictureOldExcel)) return false;
    for (const auto& style : kStyleOptions) {
      if (!dialog.SetEnabled(style.option, false)) return false;
    }
  }
  const auto taskbar = GanttApp_ ? GanttApp_->ShowWindowsInTaskbar() : std::nullopt;
  return taskbar && dialog.SetChecked(DialogControl::Check1, *taskbar);
}

void frmOption::Click(host::IDialog& dialog, DialogControl control) {
  // The option buttons only change the previews; nothing is stored before OK.
  for (const auto& style : kStyleOptions) {
    if (control != style.option) continue;
    if (dialog.Checked(control).value_or(false)) {
      dialog.SetPicture(DialogControl::Picture1, style.picture);
    }
    return;
  }
  switch (control) {
    case DialogControl::Option3:
    case DialogControl::Option4: {
      const auto below = dialog.Checked(DialogControl::Option4);
      if (below) {
        dialog.SetPicture(DialogControl::Picture3,
                          *below ? host::kPictureBelow : host::kPictureAbove);
      }
      return;
    }
    case DialogControl::cmdOK:
      cmdOK_Click(dialog);
      return;
    case DialogControl::Labelblog:
      Labelblog_Click();
      return;
    default:
      return;
  }
}

void frmOption::cmdOK_Click(host::IDialog& dialog) {
  auto& shared = Shared();
  const auto& form = shared.oTabForm;
  const host::TabControlPtr tabs = form ? form->TabSeclect() : nullptr;
  const host::PaintManagerPtr paint = tabs ? tabs->PaintManager() : nullptr;
  if (tabs && !paint) return;

  const auto version = HostVersion();
  if (!version) return;
  // The version test asks for more than 10, while Form_Load disables the styles below 11.
  if (*version > 10) {
    std::optional<int> theme;
    for (int value = 0; value < 3 && !theme; ++value) {
      const auto checked = dialog.Checked(kStyleOptions[value].option);
      if (!checked) return;
      if (*checked) theme = value;
    }
    if (theme) {
      const TabStyle& style = kTabStyles[*theme];
      StoreSetting(kThemeValue, *theme);
      shared.nTabTheme = *theme;
      if (paint && !paint->SetAppearance(style.appearance)) return;
      if (tabs && !tabs->SetLeft(style.left_twips)) return;
    }
    if (paint && !paint->SetColor(host::kColorOffice2003)) return;
  }

  const auto above = dialog.Checked(DialogControl::Option3);
  if (!above) return;
  const std::int32_t position = *above ? 0 : 1;
  StoreSetting(kPositionValue, position);
  shared.nTabPosition = position;
  if (paint && !paint->SetPosition(*above ? host::kPositionTop : host::kPositionBottom)) return;

  const auto taskbar = dialog.Checked(DialogControl::Check1);
  if (!taskbar || !GanttApp_ || !GanttApp_->SetShowWindowsInTaskbar(*taskbar)) return;
  ApplyOfficeColors();
  if (!dialog.Unload()) return;
  // The strip moves to the chosen edge at once.
  RequestDeskFrameChange();
}

}  // namespace vestrano
