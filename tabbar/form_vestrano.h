// The tab bar form: it carries the tab strip `TabSeclect` and the icon list `ImageList1`, sets up
// their look from the settings when it loads, and rebuilds the tab row from Excel's workbooks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "host/platform.h"
#include "host/tab_control.h"
#include "host/types.h"

namespace vestrano {

// The strip's designed placement inside the form, in twips.
inline constexpr double kDesignedTabLeftTwips = -100;
inline constexpr double kDesignedTabWidthTwips = 8655;

class Form_Vestrano final : public host::ITabControlEvents {
 public:
  Form_Vestrano() = default;
  ~Form_Vestrano() override;
  Form_Vestrano(const Form_Vestrano&) = delete;
  Form_Vestrano& operator=(const Form_Vestrano&) = delete;

  // Excel's main window, kept for the load handler to make it the form's owner.
  void SetExcelHwnd(Hwnd hwnd) { hOwnerWnd = hwnd; }

  // Creates the controls with their designed look and runs Form_Load, once. False when a load
  // step failed; the form then stays loaded with whatever was set up before the failure.
  bool Load();
  bool IsLoaded() const { return loaded_; }

  // Load the form first when needed, then show it or keep it hidden.
  bool Show();
  bool Hide();
  bool IsVisible() const { return visible_; }

  // Rebuilds the tab row from Excel's workbooks and selects the tab of `St` (exact spelling), or
  // the active workbook's tab when `St` is empty.
  void UpdateMenu(std::string_view St = {});

  // The form's width changed: the strip keeps its left offset and ends at the form's right edge.
  bool Form_Resize(double form_width_twips);

  const host::TabControlPtr& TabSeclect() const { return TabSeclect_; }

  // Tab strip events.
  void BeforeItemClick(const host::TabItemPtr& item, bool& cancel) override;
  void SelectedChanged(const host::TabItemPtr& item) override;
  void MouseUp(int button, int shift, float x, float y) override;

 private:
  bool Form_Load();
  bool ApplyLook(host::IPaintManager& paint, double version);

  host::TabControlPtr TabSeclect_;
  host::ImageListPtr ImageList1_;
  bool loaded_ = false;
  bool visible_ = false;

  // Form variables.
  Hwnd hOwnerWnd;
};

// Sets the Office 2007 colour scheme `office_theme` on the colour set; other values set nothing.
// False when a colour could not be set.
bool SetOfficeSchemeColors(host::IColorSet& colors, std::int32_t office_theme);

}  // namespace vestrano
