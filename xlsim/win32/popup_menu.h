// A popup command bar on screen, as Office shows one for ShowPopup: a top-level window at the
// point asked for, owned by Excel's main window and never activated, one row per visible control
// with its caption, a separator above a control that begins a group, disabled controls grey and
// buttons that are down checked. A left click on an enabled row chooses it.
#pragma once

#include "host/win32/windows_api.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "xlsim/command_bar_model.h"

namespace vestrano::xlsim::win32 {

class Excel;

class PopupMenu {
 public:
  PopupMenu(Excel& excel, const BarRef& bar, POINT at);
  ~PopupMenu();
  PopupMenu(const PopupMenu&) = delete;
  PopupMenu& operator=(const PopupMenu&) = delete;

  HWND Handle() const { return hwnd_; }
  const std::string& Name() const { return name_; }
  // The first row whose control has `parameter`; null when none.
  ControlRef Find(std::string_view parameter) const;
  // A row's rectangle on the screen.
  std::optional<RECT> ScreenRectOf(const ControlRef& control) const;

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  void Paint();
  // The row under a point of the client area.
  ControlRef RowAt(int y) const;

  Excel& excel_;
  std::string name_;
  std::vector<ControlRef> rows_;
  std::vector<int> tops_;  // each row's top in the client area
  int height_ = 0;
  HWND hwnd_ = nullptr;
};

}  // namespace vestrano::xlsim::win32
