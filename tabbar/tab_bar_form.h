// The tab bar form `Form_Vestrano`: a borderless window made a child of Excel's main window,
// carrying the tab strip `TabSeclect` and the icon list `ImageList1`. It sets up their look from
// the settings when it loads, rebuilds the tab row from Excel's workbooks (tab_list.cpp) and
// answers the strip's events (tab_events.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/tab_bar.h"
#include "host/tab_control.h"
#include "host/types.h"

namespace vestrano {

// The style the form takes inside Excel's window: a visible child.
inline constexpr std::uint32_t kFormChildStyle = 0x5000004Cu;
// The strip's designed placement inside the form, in twips.
inline constexpr double kDesignedTabLeftTwips = -100;
inline constexpr double kDesignedTabWidthTwips = 8655;
// The form's designed client size, in pixels (8685 x 345 twips).
inline constexpr int kDesignedFormWidth = 579;
inline constexpr int kDesignedFormHeight = 23;

class Form_Vestrano final : public ITabBar, public host::ITabControlEvents {
 public:
  Form_Vestrano() = default;
  ~Form_Vestrano() override;
  Form_Vestrano(const Form_Vestrano&) = delete;
  Form_Vestrano& operator=(const Form_Vestrano&) = delete;

  // --- ITabBar ---
  void SetExcelHwnd(Hwnd hwnd) override { hOwnerWnd = hwnd; }
  bool Show() override;
  bool Hide() override;
  Hwnd hWnd() override;
  bool IsLoaded() const override { return loaded_; }
  void Unload() override;
  void UpdateMenu(std::string_view St) override;
  const host::TabControlPtr& TabSeclect() const override { return TabSeclect_; }

  // Creates the window and the controls and runs Form_Load, once; false when a step failed.
  bool Load();
  // The form's width changed: the strip keeps its left offset and ends at the form's right edge.
  bool Form_Resize();

  // --- The tab strip's events ---
  void BeforeItemClick(const host::TabItemPtr& item, bool& cancel) override;
  void SelectedChanged(const host::TabItemPtr& item) override;
  void MouseUp(int button, int shift, float x, float y) override;

 private:
  static std::intptr_t FormWindowProc(Hwnd hwnd, std::uint32_t message, std::uintptr_t wparam,
                                      std::intptr_t lparam);
  bool CreateControls();
  bool Form_Load();
  bool ApplyLook(host::IPaintManager& paint, double version);
  // A right-click on a tab: makes its workbook the active one, then opens the workbook menu.
  void OpenTabMenu(host::ITabItem& item);
  // A left click on the selected tab: brings its workbook to the front when it is not active.
  void ActivateIfStale(host::ITabItem& item);

  Hwnd window_;
  host::TabControlPtr TabSeclect_;
  host::ImageListPtr ImageList1_;
  bool loaded_ = false;
  bool unloaded_ = false;

  // Form variables.
  Hwnd hOwnerWnd;
  Hwnd hPrevOwner;

  // Click recognition (tab_events.cpp): the system's double-click time, the tick and button of
  // the last release, and what the last left click hit: a tab's caption, " TabOther" for the
  // empty strip, empty after a double-click.
  std::uint32_t nDblClickTime = 0;
  std::uint32_t nLastClickTick = 0;
  int nLastButton = 0;
  std::string sLastClick;
  // The workbook of the tab last clicked while a cell was being edited (window_menu_switch.cpp).
  std::string sLastTabName;
};

}  // namespace vestrano
