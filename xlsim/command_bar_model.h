// Office's command bars as Excel keeps them: bars by name in order, each with its controls in
// order; controls with caption, tag, parameter, group start, enabled and button state; popups
// (menus) holding controls of their own; built-in controls whose click runs one of Excel's
// commands. A click on a custom button is heard by every connected button whose control has the
// same tag (the same control when the tag is empty), then the control's own command runs unless
// a listener cancelled it. Deleted bars and controls stay dead for whoever still holds them.
//
// Portable: xlsim's COM objects wrap it, and the unit tests play with it directly.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scenario/observation_lines.h"

namespace vestrano::xlsim {

// MsoControlType and MsoBarPosition values that matter here.
inline constexpr int kControlButton = 1;
inline constexpr int kControlPopup = 10;
inline constexpr int kBarPopup = 5;
inline constexpr int kButtonUp = 0;
inline constexpr int kButtonDown = -1;
// Every custom control has Id 1.
inline constexpr int kCustomControlId = 1;

struct Control {
  int id = kCustomControlId;
  int type = kControlButton;
  std::string caption;
  std::string tag;
  std::string parameter;
  std::string on_action;
  std::string tooltip;
  bool begin_group = false;
  bool enabled = true;
  bool visible = true;
  bool temporary = false;
  int state = kButtonUp;
  bool alive = true;
  std::weak_ptr<Control> parent;
  std::vector<std::shared_ptr<Control>> controls;  // a popup's or a bar's own controls
  std::function<void()> command;                   // a built-in control's command
  std::function<void(Control&)> refresh;           // rebuilds `controls` before they are read

  bool IsPopup() const { return type == kControlPopup; }
};
using ControlRef = std::shared_ptr<Control>;

struct Bar {
  std::string name;
  int position = 0;
  bool temporary = false;
  bool built_in = false;
  bool enabled = true;
  bool visible = false;
  ControlRef body = std::make_shared<Control>();  // holds the controls; dead once deleted
};
using BarRef = std::shared_ptr<Bar>;

class CommandBarModel {
 public:
  // --- What Excel sets up. ---
  BarRef AddBuiltInBar(std::string_view name, int position);
  static ControlRef AddBuiltIn(const ControlRef& menu, int id, int type, std::string_view caption,
                               std::function<void()> command = {});

  // --- The object model. ---
  const std::vector<BarRef>& Bars() const { return bars_; }
  // By name, letter case ignored.
  BarRef FindBar(std::string_view name) const;
  // Depth first through every bar; a control whose every criterion given matches. An empty
  // optional criterion matches anything.
  ControlRef FindControl(std::optional<int> type, std::optional<int> id,
                         std::optional<std::string_view> tag, bool visible_only) const;
  // Empty when a bar of that name exists.
  BarRef AddBar(std::string_view name, int position, bool temporary);
  void DeleteBar(const BarRef& bar);
  // A new control in `menu` before the 1-based position `before` (at the end when empty), a copy
  // of the built-in control `id` when one is given.
  ControlRef AddControl(const ControlRef& menu, int type, std::optional<int> id,
                        std::optional<int> before, bool temporary);
  static void DeleteControl(const ControlRef& control);
  // A menu's controls, rebuilt first when the menu builds them on demand (the Window menu).
  static const std::vector<ControlRef>& ControlsOf(const ControlRef& menu);

  // --- Clicks. ---
  using Listener = std::function<void(const ControlRef& clicked, bool& cancel_default)>;
  // Listens to clicks of `button` and of every button of the same tag; returns an id for Unlisten.
  std::uint64_t Listen(const ControlRef& button, Listener listener);
  void Unlisten(std::uint64_t id);
  // A click on `control`, as Office delivers it; Execute runs the same.
  void Click(const ControlRef& control);

  // --- Observation. ---
  // The `menu` observation's items of the bar NAME, or of Excel's Tools and Window menus.
  std::optional<std::vector<scenario::MenuItemView>> Describe(std::string_view name) const;

 private:
  struct Listening {
    std::uint64_t id;
    std::weak_ptr<Control> button;
    Listener listener;
  };
  std::vector<BarRef> bars_;
  std::vector<Listening> listening_;
  std::uint64_t next_listen_id_ = 1;
};

// Built-in control Ids.
inline constexpr int kToolsMenuId = 30007;
inline constexpr int kWindowMenuId = 30009;

}  // namespace vestrano::xlsim
