// The tab bar form as the subsystems below it see it: the event handlers, the workbook-area
// strip, the watches and the commands show, hide, place and rebuild it without knowing the form.
#pragma once

#include <string_view>

#include "host/tab_control.h"
#include "host/types.h"

namespace vestrano {

// The form's window class and caption, by which the workbook-area strip finds it among the
// children of Excel's main window.
inline constexpr std::string_view kFormClass = "ThunderRT6FormDC";
inline constexpr std::string_view kFormCaption = "Vestrano";

// The three tab styles that the options offer, by their "Theme" value: the strip's appearance,
// the paint manager's colour style and the strip's left offset inside the form in twips (the
// offsets are negative, so that the first tab's left edge sits just outside the form).
struct TabStyle {
  int appearance;
  int color;
  double left_twips;
};
inline constexpr TabStyle kTabStyles[] = {
    {host::kAppearanceExcel, host::kColorOffice2003, -100},
    {host::kAppearanceAccess2007, host::kColorOffice2003, -70},
    {host::kAppearanceOffice2003, host::kColorOffice2003, -90},
};

class ITabBar {
 public:
  virtual ~ITabBar() = default;

  // Excel's main window, which becomes the form's owner and parent when it loads.
  virtual void SetExcelHwnd(Hwnd hwnd) = 0;
  // These load the form first when it is not loaded; false when a step failed.
  virtual bool Show() = 0;
  virtual bool Hide() = 0;
  virtual Hwnd hWnd() = 0;
  virtual bool IsLoaded() const = 0;
  // Gives the window its previous owner back and destroys it. An unloaded form stays unloaded.
  virtual void Unload() = 0;
  // Rebuilds the tab row from Excel's workbooks and selects the tab of `St` (exact spelling),
  // or the active workbook's tab when `St` is empty.
  virtual void UpdateMenu(std::string_view St) = 0;
  // The tab strip; null until the form has loaded.
  virtual const host::TabControlPtr& TabSeclect() const = 0;
};

}  // namespace vestrano
