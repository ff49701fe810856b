// Excel's built-in bars and the Window menu's list of windows.
#include "xlsim/excel_bars.h"

#include <string>

namespace vestrano::xlsim {
namespace {

// The Window menu's entries are Excel's own, made afresh whenever the menu is read.
constexpr int kWindowEntryId = 0;

}  // namespace

void AddExcelBars(CommandBarModel& bars, ExcelModel& excel) {
  auto menu_bar = bars.AddBuiltInBar("Worksheet Menu Bar", 6)->body;
  auto file = CommandBarModel::AddBuiltIn(menu_bar, 30002, kControlPopup, "文件(&F)");
  CommandBarModel::AddBuiltIn(file, kControlClose, kControlButton, "关闭(&C)",
                              [&excel] { excel.RunBuiltIn(kControlClose); });
  CommandBarModel::AddBuiltIn(file, kControlSaveAs, kControlButton, "另存为(&A)...",
                              [&excel] { excel.RunBuiltIn(kControlSaveAs); });
  auto tools = CommandBarModel::AddBuiltIn(menu_bar, kToolsMenuId, kControlPopup, "工具(&T)");
  CommandBarModel::AddBuiltIn(tools, 2, kControlButton, "拼写检查(&S)...");
  CommandBarModel::AddBuiltIn(tools, 522, kControlButton, "选项(&O)...");
  auto window = CommandBarModel::AddBuiltIn(menu_bar, kWindowMenuId, kControlPopup, "窗口(&W)");
  std::weak_ptr<Control> weak_window = window;
  window->refresh = [&excel, weak_window](Control& menu) {
    const auto self = weak_window.lock();
    if (!self) return;
    for (const auto& control : menu.controls) control->alive = false;
    menu.controls.clear();
    CommandBarModel::AddBuiltIn(self, 303, kControlButton, "新建窗口(&N)");
    CommandBarModel::AddBuiltIn(self, 298, kControlButton, "重排窗口(&A)...");
    const auto entries = excel.WindowEntries();
    for (std::size_t i = 0; i < entries.size() && i < kWindowMenuEntries; ++i) {
      std::weak_ptr<Window> target = entries[i].window;
      auto entry = CommandBarModel::AddBuiltIn(
          self, kWindowEntryId, kControlButton,
          std::string("&") + std::to_string(i + 1) + " " + entries[i].caption, [&excel, target] {
            if (auto window = target.lock()) excel.ActivateFromMenu(window);
          });
      entry->begin_group = i == 0;
    }
    if (entries.size() > kWindowMenuEntries) {
      CommandBarModel::AddBuiltIn(self, kWindowEntryId, kControlButton,
                                  std::string(kMoreWindowsCaption),
                                  [&excel] { excel.RunWindowList(); });
    }
  };
  auto standard = bars.AddBuiltInBar("Standard", 1)->body;
  CommandBarModel::AddBuiltIn(standard, kControlNew, kControlButton, "新建(&N)",
                              [&excel] { excel.RunBuiltIn(kControlNew); });
  CommandBarModel::AddBuiltIn(standard, kControlSave, kControlButton, "保存(&S)",
                              [&excel] { excel.RunBuiltIn(kControlSave); });
}

}  // namespace vestrano::xlsim
