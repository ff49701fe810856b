// Office's command bars for the tests and vestrano-sim, as Excel keeps them: bars by name, in
// order, each with its controls in order, their enabled and checked state; built-in controls that
// run Excel's own commands on the active workbook (3 Save, 106 Close, 748 Save As, 2520 New) and
// the Tools (30007) and Window (30009) menus, the Window menu listing Excel's visible windows as
// Excel does. A click is delivered to every connected button object whose control has the Tag of
// the clicked one (the same control when the Tag is empty). A popup that ShowPopup opened stays
// open until the user chooses an item or does something else.
//
// The ICommandBars members are what the add-in calls, each recorded in HostCalls and each able to
// fail on request; the other public members are what the user does or a test looks at.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/command_bars.h"
#include "host/fake/host_calls.h"
#include "scenario/observation_lines.h"

namespace vestrano::fake {

struct FakeControlState {
  int id = 1;  // Office gives every custom control Id 1
  std::string caption;
  std::string tag;
  std::string parameter;
  bool begin_group = false;
  bool enabled = true;
  int state = host::kButtonUp;
  bool alive = true;  // false once deleted: references held by the add-in then fail
  bool menu = false;  // a popup control (Excel's menus), which has controls and no State
  std::weak_ptr<FakeControlState> parent;
  // A menu's (a popup control's or a bar's) own controls.
  std::vector<std::shared_ptr<FakeControlState>> controls;
  // What Execute and a click run; nothing for the add-in's own buttons.
  std::function<void()> action;
  // Rebuilds `controls` before they are read (the Window menu's list of windows).
  std::function<void(FakeControlState&)> refresh;
};

struct FakeBarState {
  std::string name;
  int position = 0;
  bool temporary = false;
  bool enabled = true;
  bool visible = false;
  // Holds the bar's controls; dead once the bar is deleted.
  std::shared_ptr<FakeControlState> body = std::make_shared<FakeControlState>();
};

class FakeCommandBars {
 public:
  explicit FakeCommandBars(HostCalls& calls);
  FakeCommandBars(const FakeCommandBars&) = delete;
  FakeCommandBars& operator=(const FakeCommandBars&) = delete;

  // --- What Excel sets up. ---
  // A built-in bar with the controls given; returns its body.
  std::shared_ptr<FakeControlState> AddBuiltInBar(std::string_view name);
  static std::shared_ptr<FakeControlState> AddControl(const std::shared_ptr<FakeControlState>& menu,
                                                      int id, std::string_view caption,
                                                      std::function<void()> action = {});

  // --- What the add-in calls. ---
  host::CommandBarsPtr Wrap();

  // --- What the user does. Each returns an error text when it cannot be done. ---
  using Outcome = std::optional<std::string>;
  // The name of the open popup; empty when none is open.
  std::optional<std::string> OpenPopup() const;
  void ClosePopup() { open_popup_.reset(); }
  // Clicks the item of the open popup whose Parameter is `parameter`.
  Outcome Choose(std::string_view parameter);
  // Clicks the control of Excel's Tools menu with that caption.
  Outcome ClickTools(std::string_view caption);
  // A click: the connected button objects hear it, then the control's own action runs.
  void Click(const std::shared_ptr<FakeControlState>& control);

  // --- Observation. ---
  // The items of a bar or menu as the scenario language shows them; empty optional when there is
  // no such bar. "Tools" and "Window" name Excel's built-in menus.
  std::optional<std::vector<scenario::MenuItemView>> MenuItems(std::string_view name);
  const FakeBarState* Bar(std::string_view name) const;
  std::size_t ClickConnections() const { return connections_.size(); }

  // Used by the wrappers.
  HostCalls& Calls() { return calls_; }
  std::shared_ptr<FakeControlState> FindControl(int id) const;
  std::shared_ptr<FakeBarState> FindBar(std::string_view name) const;
  std::shared_ptr<FakeBarState> AddBar(std::string_view name, int position, bool temporary);
  void DeleteBar(const std::shared_ptr<FakeBarState>& bar);
  static void DeleteControl(FakeControlState& control);
  void OpenPopup(const std::shared_ptr<FakeBarState>& bar) { open_popup_ = bar; }
  std::unique_ptr<host::IEventConnection> Connect(std::shared_ptr<FakeControlState> control,
                                                  host::IButtonClickSink& sink);
  host::CommandBarControlPtr Wrap(const std::shared_ptr<FakeControlState>& control);

 private:
  class Connection;
  struct Connected {
    std::weak_ptr<FakeControlState> control;
    host::IButtonClickSink* sink = nullptr;
    std::uint64_t serial = 0;
  };
  std::shared_ptr<FakeControlState> BuiltInMenu(int id) const;

  HostCalls& calls_;
  std::vector<std::shared_ptr<FakeBarState>> bars_;
  std::weak_ptr<FakeBarState> open_popup_;
  std::vector<Connected> connections_;
  std::uint64_t next_serial_ = 1;
};

}  // namespace vestrano::fake
