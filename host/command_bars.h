// Office's command bars as the add-in uses them: the popups it builds and shows, the button it
// adds to Excel's Tools menu, Excel's built-in commands found by their control Id, and the click
// event of a button. Every member can fail; a failure comes back as a null pointer, an empty
// optional or false.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/event_connection.h"

namespace vestrano::host {

// CommandBars.Add's Position for a popup (msoBarPopup).
inline constexpr int kBarPopup = 5;
// A button's State (MsoButtonState).
inline constexpr int kButtonUp = 0;
inline constexpr int kButtonDown = -1;

// Excel's built-in controls, by Id.
inline constexpr int kControlSave = 3;
inline constexpr int kControlClose = 106;
inline constexpr int kControlSaveAs = 748;
inline constexpr int kControlNew = 2520;
inline constexpr int kControlToolsMenu = 30007;
inline constexpr int kControlWindowMenu = 30009;

class ICommandBarControl;
using CommandBarControlPtr = std::shared_ptr<ICommandBarControl>;

// Receives a button's Click. Office raises it on every connected button object whose control has
// the Tag of the clicked one, with the clicked control as `control`.
class IButtonClickSink {
 public:
  virtual ~IButtonClickSink() = default;
  // Setting `cancel_default` keeps Office from running the control's own action.
  virtual void Click(const CommandBarControlPtr& control, bool& cancel_default) = 0;
};

class ICommandBarControls {
 public:
  virtual ~ICommandBarControls() = default;
  // Appends a plain button (Add with no arguments).
  virtual CommandBarControlPtr Add() = 0;
  // 1-based position.
  virtual CommandBarControlPtr Item(int index) = 0;
  // The control with that caption (exact); null when none.
  virtual CommandBarControlPtr Item(std::string_view caption) = 0;
  // Every control in order; empty optional when the enumeration failed.
  virtual std::optional<std::vector<CommandBarControlPtr>> Enumerate() = 0;
};
using CommandBarControlsPtr = std::shared_ptr<ICommandBarControls>;

class ICommandBarControl {
 public:
  virtual ~ICommandBarControl() = default;
  virtual std::optional<std::string> Caption() = 0;
  virtual bool SetCaption(std::string_view caption) = 0;
  virtual bool SetTag(std::string_view tag) = 0;
  virtual std::optional<std::string> Parameter() = 0;
  virtual bool SetParameter(std::string_view parameter) = 0;
  virtual bool SetBeginGroup(bool begin) = 0;
  virtual bool SetEnabled(bool enabled) = 0;
  // Runs the control's action: a built-in control runs Excel's command on the active workbook,
  // with its prompts and dialogs, before this returns.
  virtual bool Execute() = 0;
  // Delete with its optional argument left out.
  virtual bool Delete() = 0;
  // A button's State: kButtonDown shows it checked.
  virtual std::optional<int> State() = 0;
  virtual bool SetState(int state) = 0;
  // A popup control's (a menu's) own controls.
  virtual CommandBarControlsPtr Controls() = 0;
  // Connects `sink` to the Click of this control taken as a button, until the returned connection
  // is destroyed; null when Office refused. The sink must outlive the connection.
  virtual std::unique_ptr<IEventConnection> ConnectClick(IButtonClickSink& sink) = 0;
};

class ICommandBar {
 public:
  virtual ~ICommandBar() = default;
  virtual CommandBarControlsPtr Controls() = 0;
  virtual bool Delete() = 0;
  virtual bool SetEnabled(bool enabled) = 0;
  virtual bool SetVisible(bool visible) = 0;
  // Opens the popup at the mouse pointer.
  virtual bool ShowPopup() = 0;
};
using CommandBarPtr = std::shared_ptr<ICommandBar>;

class ICommandBars {
 public:
  virtual ~ICommandBars() = default;
  // The first control with that Id (FindControl with only the Id given); null when none.
  virtual CommandBarControlPtr FindControl(int id) = 0;
  // The bar of that name; null when none.
  virtual CommandBarPtr Item(std::string_view name) = 0;
  // A new bar (MenuBar left out). Office refuses a name that a bar already has.
  virtual CommandBarPtr Add(std::string_view name, int position, bool temporary) = 0;
};
using CommandBarsPtr = std::shared_ptr<ICommandBars>;

}  // namespace vestrano::host
