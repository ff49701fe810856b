// The tab bar form: a borderless window made a child of Excel's main window, carrying the tab
// strip `TabSeclect` and the icon list `ImageList1`. It sets up their look from the settings when
// it loads, and rebuilds the tab row from Excel's workbooks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "host/platform.h"
#include "host/tab_control.h"
#include "host/types.h"

namespace vestrano {

// The form's window, as the workbook area's procedure looks for it.
inline constexpr std::string_view kFormClass = "ThunderRT6FormDC";
inline constexpr std::string_view kFormCaption = "Vestrano";
// The style the form takes inside Excel's window: a visible child.
inline constexpr std::uint32_t kFormChildStyle = 0x5000004Cu;
// The strip's designed placement inside the form, in twips.
inline constexpr double kDesignedTabLeftTwips = -100;
inline constexpr double kDesignedTabWidthTwips = 8655;
inline constexpr double kTwipsPerPixel = 15;
// The form's designed client size, in pixels (8685 x 345 twips).
inline constexpr int kDesignedFormWidth = 579;
inline constexpr int kDesignedFormHeight = 23;

class Form_Vestrano final : public host::ITabControlEvents {
 public:
  Form_Vestrano() = default;
  ~Form_Vestrano() override;
  Form_Vestrano(const Form_Vestrano&) = delete;
  Form_Vestrano& operator=(const Form_Vestrano&) = delete;

  // Excel's main window, kept for the load handler to make it the form's owner and parent.
  void SetExcelHwnd(Hwnd hwnd) { hOwnerWnd = hwnd; }

  // The form's window operations load the form first when it is not loaded. Loading creates
  // the window and the controls and runs Form_Load, once; false when a step of it failed.
  bool Show();
  bool Hide();
  Hwnd hWnd();
  bool Load();
  bool IsLoaded() const { return loaded_; }
  // Gives the window its previous owner back and destroys it. An unloaded form stays unloaded.
  void Unload();

  // Rebuilds the tab row from Excel's workbooks and selects the tab of `St` (exact spelling), or
  // the active workbook's tab when `St` is empty.
  void UpdateMenu(std::string_view St = {});

  // The form's width changed: the strip keeps its left offset and ends at the form's right edge.
  bool Form_Resize();

  const host::TabControlPtr& TabSeclect() const { return TabSeclect_; }

  // Tab strip events.
  void BeforeItemClick(const host::TabItemPtr& item, bool& cancel) override;
  void SelectedChanged(const host::TabItemPtr& item) override;
  void MouseUp(int button, int shift, float x, float y) override;

 private:
  static std::intptr_t FormWindowProc(Hwnd hwnd, std::uint32_t message, std::uintptr_t wparam,
                                      std::intptr_t lparam);
  bool CreateControls();
  bool Form_Load();
  bool ApplyLook(host::IPaintManager& paint, double version);

  Hwnd window_;
  host::TabControlPtr TabSeclect_;
  host::ImageListPtr ImageList1_;
  bool loaded_ = false;
  bool unloaded_ = false;

  // Form variables.
  Hwnd hOwnerWnd;
  Hwnd hPrevOwner;
};

// 1 blue, 2 silver and 3 black are the Office 2007 colour schemes; other values name none.
bool IsOfficeScheme(std::int32_t office_theme);
// Sets the Office 2007 colour scheme `office_theme` on the colour set; other values set nothing.
// False when a colour could not be set.
bool SetOfficeSchemeColors(host::IColorSet& colors, std::int32_t office_theme);

}  // namespace vestrano
