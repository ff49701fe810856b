// The command bars that the add-in builds in Excel at connection and deletes at disconnection:
// the popups "TabBar" (over a tab) and "TabBarII" (over the empty strip), whose twelve buttons
// share one Tag so that one connected button hears them all, and before Excel 2007 the button
// "显示标签栏" in Excel's Tools menu that shows or hides the tab bar.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "host/command_bars.h"

namespace vestrano {

inline constexpr std::string_view kTabBarPopup = "TabBar";
inline constexpr std::string_view kEmptyStripPopup = "TabBarII";
inline constexpr std::string_view kMenuTag = "MultiWorkBook";
inline constexpr std::string_view kShowTabCaption = "显示标签栏";
inline constexpr std::string_view kShowTabTag = "VestranoShowTab";

// Positions in "TabBar" that the strip enables or disables before showing it.
inline constexpr int kSaveAllItem = 3;
inline constexpr int kCloseOtherItem = 5;
inline constexpr int kCloseAllItem = 6;
inline constexpr int kOpenDirItem = 7;

// One button of a popup: its caption, its command word and whether a separator stands above it.
struct MenuItem {
  std::string_view caption;
  std::string_view parameter;
  bool begin_group;
};

// The menus and the add-in's two connected buttons. The add-in class owns one.
class WorkbookMenus final {
 public:
  WorkbookMenus();
  ~WorkbookMenus();
  WorkbookMenus(const WorkbookMenus&) = delete;
  WorkbookMenus& operator=(const WorkbookMenus&) = delete;

  // Builds the popups (and the Tools-menu button before Excel 2007) in the connected Excel; a
  // bar left by an earlier connection is replaced, so one of each name exists afterwards. Reads
  // bTabShow for the Tools-menu button's first check state.
  void CreateWorkbookMenus();
  // Deletes both popups and the Tools-menu button, and disconnects the buttons, so that no click
  // reaches a disconnected add-in.
  void DeleteWorkbookMenus();

 private:
  class ButtonSink;
  void BuildPopup(host::ICommandBars& bars, std::string_view name, const MenuItem* items,
                  std::size_t count, host::CommandBarPtr& bar, host::CommandBarControlPtr& last);
  void CreateToolsButton(host::ICommandBars& bars);

  host::CommandBarPtr oMenuTabBar;
  host::CommandBarPtr oMenuTabBarII;
  host::CommandBarControlPtr oCtlShowTab;
  // The connected buttons: oBtnExcel hears all twelve popup items, oBtnOptionTab the Tools-menu
  // button.
  std::unique_ptr<ButtonSink> oBtnExcel;
  std::unique_ptr<ButtonSink> oBtnOptionTab;
};

}  // namespace vestrano
