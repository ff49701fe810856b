// The in-memory command bars. Wrappers hold the state of their bar or control, so a reference
// kept by the add-in fails cleanly once its bar or control is deleted, as a COM proxy would.
#include "host/fake/fake_command_bars.h"

#include <algorithm>

#include "base/utf8.h"

namespace vestrano::fake {
namespace {

using ControlPtr = std::shared_ptr<FakeControlState>;

class FakeControls final : public host::ICommandBarControls {
 public:
  FakeControls(FakeCommandBars& bars, ControlPtr menu) : bars_(bars), menu_(std::move(menu)) {}
  host::CommandBarControlPtr Add() override {
    if (!Alive("CommandBarControls.Add")) return nullptr;
    return bars_.Wrap(FakeCommandBars::AddControl(menu_, 1, ""));
  }
  host::CommandBarControlPtr Item(int index) override {
    if (!Alive("CommandBarControls.Item") || index < 1 ||
        index > static_cast<int>(menu_->controls.size())) {
      return nullptr;
    }
    return bars_.Wrap(menu_->controls[static_cast<std::size_t>(index - 1)]);
  }
  host::CommandBarControlPtr Item(std::string_view caption) override {
    if (!Alive("CommandBarControls.Item")) return nullptr;
    for (const auto& control : menu_->controls) {
      if (control->caption == caption) return bars_.Wrap(control);
    }
    return nullptr;
  }
  std::optional<std::vector<host::CommandBarControlPtr>> Enumerate() override {
    if (!Alive("CommandBarControls._NewEnum")) return std::nullopt;
    std::vector<host::CommandBarControlPtr> all;
    for (const auto& control : menu_->controls) all.push_back(bars_.Wrap(control));
    return all;
  }

 private:
  bool Alive(std::string_view call) { return bars_.Calls().Enter(call) && menu_->alive; }
  FakeCommandBars& bars_;
  ControlPtr menu_;
};

class FakeControl final : public host::ICommandBarControl {
 public:
  FakeControl(FakeCommandBars& bars, ControlPtr state) : bars_(bars), state_(std::move(state)) {}
  std::optional<std::string> Caption() override {
    if (!Alive("CommandBarControl.Caption")) return std::nullopt;
    return state_->caption;
  }
  bool SetCaption(std::string_view caption) override {
    return Set("CommandBarControl.SetCaption", &FakeControlState::caption, caption);
  }
  bool SetTag(std::string_view tag) override {
    return Set("CommandBarControl.SetTag", &FakeControlState::tag, tag);
  }
  std::optional<std::string> Parameter() override {
    if (!Alive("CommandBarControl.Parameter")) return std::nullopt;
    return state_->parameter;
  }
  bool SetParameter(std::string_view parameter) override {
    return Set("CommandBarControl.SetParameter", &FakeControlState::parameter, parameter);
  }
  bool SetBeginGroup(bool begin) override {
    if (!Alive("CommandBarControl.SetBeginGroup")) return false;
    state_->begin_group = begin;
    return true;
  }
  bool SetEnabled(bool enabled) override {
    if (!Alive("CommandBarControl.SetEnabled")) return false;
    state_->enabled = enabled;
    return true;
  }
  bool Execute() override {
    if (!Alive("CommandBarControl.Execute") || !state_->enabled) return false;
    bars_.Click(state_);
    return true;
  }
  bool Delete() override {
    if (!Alive("CommandBarControl.Delete")) return false;
    FakeCommandBars::DeleteControl(*state_);
    return true;
  }
  std::optional<int> State() override {
    if (!Alive("CommandBarControl.State") || state_->menu) return std::nullopt;
    return state_->state;
  }
  bool SetState(int state) override {
    if (!Alive("CommandBarControl.SetState") || state_->menu) return false;
    state_->state = state;
    return true;
  }
  host::CommandBarControlsPtr Controls() override {
    if (!Alive("CommandBarControl.Controls") || !state_->menu) return nullptr;
    if (state_->refresh) state_->refresh(*state_);
    return std::make_shared<FakeControls>(bars_, state_);
  }
  std::unique_ptr<host::IEventConnection> ConnectClick(host::IButtonClickSink& sink) override {
    if (!Alive("CommandBarControl.ConnectClick") || state_->menu) return nullptr;
    return bars_.Connect(state_, sink);
  }

 private:
  bool Alive(std::string_view call) { return bars_.Calls().Enter(call) && state_->alive; }
  bool Set(std::string_view call, std::string FakeControlState::*field, std::string_view value) {
    if (!Alive(call)) return false;
    (*state_).*field = value;
    return true;
  }
  FakeCommandBars& bars_;
  ControlPtr state_;
};

class FakeBar final : public host::ICommandBar {
 public:
  FakeBar(FakeCommandBars& bars, std::shared_ptr<FakeBarState> state)
      : bars_(bars), state_(std::move(state)) {}
  host::CommandBarControlsPtr Controls() override {
    if (!Alive("CommandBar.Controls")) return nullptr;
    return std::make_shared<FakeControls>(bars_, state_->body);
  }
  bool Delete() override {
    if (!Alive("CommandBar.Delete")) return false;
    bars_.DeleteBar(state_);
    return true;
  }
  bool SetEnabled(bool enabled) override {
    if (!Alive("CommandBar.SetEnabled")) return false;
    state_->enabled = enabled;
    return true;
  }
  bool SetVisible(bool visible) override {
    if (!Alive("CommandBar.SetVisible")) return false;
    state_->visible = visible;
    return true;
  }
  bool ShowPopup() override {
    if (!Alive("CommandBar.ShowPopup") || state_->position != host::kBarPopup) return false;
    bars_.OpenPopup(state_);
    return true;
  }

 private:
  bool Alive(std::string_view call) { return bars_.Calls().Enter(call) && state_->body->alive; }
  FakeCommandBars& bars_;
  std::shared_ptr<FakeBarState> state_;
};

class FakeBarsCollection final : public host::ICommandBars {
 public:
  explicit FakeBarsCollection(FakeCommandBars& bars) : bars_(bars) {}
  host::CommandBarControlPtr FindControl(int id) override {
    if (!bars_.Calls().Enter("CommandBars.FindControl")) return nullptr;
    auto control = bars_.FindControl(id);
    return control ? bars_.Wrap(control) : nullptr;
  }
  host::CommandBarPtr Item(std::string_view name) override {
    if (!bars_.Calls().Enter("CommandBars.Item")) return nullptr;
    auto bar = bars_.FindBar(name);
    return bar ? std::make_shared<FakeBar>(bars_, bar) : nullptr;
  }
  host::CommandBarPtr Add(std::string_view name, int position, bool temporary) override {
    if (!bars_.Calls().Enter("CommandBars.Add") || name.empty() || bars_.FindBar(name)) {
      return nullptr;
    }
    return std::make_shared<FakeBar>(bars_, bars_.AddBar(name, position, temporary));
  }

 private:
  FakeCommandBars& bars_;
};

ControlPtr FindIn(const FakeControlState& menu, int id) {
  for (const auto& control : menu.controls) {
    if (control->id == id) return control;
    if (auto inner = FindIn(*control, id)) return inner;
  }
  return nullptr;
}

void KillAll(FakeControlState& control) {
  control.alive = false;
  for (const auto& child : control.controls) KillAll(*child);
}

}  // namespace

class FakeCommandBars::Connection final : public host::IEventConnection {
 public:
  Connection(FakeCommandBars& bars, std::uint64_t serial) : bars_(bars), serial_(serial) {}
  ~Connection() override {
    std::erase_if(bars_.connections_, [&](const Connected& c) { return c.serial == serial_; });
  }

 private:
  FakeCommandBars& bars_;
  std::uint64_t serial_;
};

FakeCommandBars::FakeCommandBars(HostCalls& calls) : calls_(calls) {}

std::shared_ptr<FakeControlState> FakeCommandBars::AddBuiltInBar(std::string_view name) {
  return AddBar(name, 0, false)->body;
}

std::shared_ptr<FakeControlState> FakeCommandBars::AddControl(
    const std::shared_ptr<FakeControlState>& menu, int id, std::string_view caption,
    std::function<void()> action) {
  auto control = std::make_shared<FakeControlState>();
  control->id = id;
  control->caption = caption;
  control->action = std::move(action);
  control->parent = menu;
  menu->controls.push_back(control);
  return control;
}

host::CommandBarsPtr FakeCommandBars::Wrap() {
  return std::make_shared<FakeBarsCollection>(*this);
}

host::CommandBarControlPtr FakeCommandBars::Wrap(const std::shared_ptr<FakeControlState>& control) {
  return std::make_shared<FakeControl>(*this, control);
}

std::shared_ptr<FakeControlState> FakeCommandBars::FindControl(int id) const {
  for (const auto& bar : bars_) {
    if (auto control = FindIn(*bar->body, id)) return control;
  }
  return nullptr;
}

std::shared_ptr<FakeBarState> FakeCommandBars::FindBar(std::string_view name) const {
  // Office finds bars by name ignoring letter case.
  for (const auto& bar : bars_) {
    if (EqualsIgnoringAsciiCase(bar->name, name)) return bar;
  }
  return nullptr;
}

const FakeBarState* FakeCommandBars::Bar(std::string_view name) const {
  return FindBar(name).get();
}

std::shared_ptr<FakeBarState> FakeCommandBars::AddBar(std::string_view name, int position,
                                                      bool temporary) {
  auto bar = std::make_shared<FakeBarState>();
  bar->name = name;
  bar->position = position;
  bar->temporary = temporary;
  bar->body->menu = true;
  bars_.push_back(bar);
  return bar;
}

void FakeCommandBars::DeleteBar(const std::shared_ptr<FakeBarState>& bar) {
  KillAll(*bar->body);
  std::erase(bars_, bar);
}

void FakeCommandBars::DeleteControl(FakeControlState& control) {
  KillAll(control);
  if (auto parent = control.parent.lock()) {
    std::erase_if(parent->controls, [&](const auto& c) { return c.get() == &control; });
  }
}

std::unique_ptr<host::IEventConnection> FakeCommandBars::Connect(
    std::shared_ptr<FakeControlState> control, host::IButtonClickSink& sink) {
  const std::uint64_t serial = next_serial_++;
  connections_.push_back({std::move(control), &sink, serial});
  return std::make_unique<Connection>(*this, serial);
}

void FakeCommandBars::Click(const std::shared_ptr<FakeControlState>& control) {
  // Copies: a sink may connect, disconnect or delete bars while the click is delivered.
  const auto connections = connections_;
  const auto action = control->action;
  bool cancel_default = false;
  for (const auto& connected : connections) {
    const bool still =
        std::any_of(connections_.begin(), connections_.end(),
                    [&](const Connected& c) { return c.serial == connected.serial; });
    auto heard = connected.control.lock();
    if (!still || !heard || !heard->alive) continue;
    const bool same = control->tag.empty() ? heard == control : heard->tag == control->tag;
    if (same) connected.sink->Click(Wrap(control), cancel_default);
  }
  if (!cancel_default && action) action();
}

std::optional<std::string> FakeCommandBars::OpenPopup() const {
  auto bar = open_popup_.lock();
  if (!bar || !bar->body->alive) return std::nullopt;
  return bar->name;
}

FakeCommandBars::Outcome FakeCommandBars::Choose(std::string_view parameter) {
  auto bar = open_popup_.lock();
  if (!bar || !bar->body->alive) return "no popup is open";
  for (const auto& control : bar->body->controls) {
    if (control->parameter != parameter) continue;
    if (!control->enabled) return "the item " + std::string(parameter) + " is disabled";
    ClosePopup();
    Click(control);
    return std::nullopt;
  }
  return "the popup " + bar->name + " has no item " + std::string(parameter);
}

std::shared_ptr<FakeControlState> FakeCommandBars::BuiltInMenu(int id) const {
  auto menu = FindControl(id);
  if (menu && menu->refresh) menu->refresh(*menu);
  return menu;
}

FakeCommandBars::Outcome FakeCommandBars::ClickTools(std::string_view caption) {
  auto tools = BuiltInMenu(host::kControlToolsMenu);
  if (!tools) return "Excel has no Tools menu";
  for (const auto& control : tools->controls) {
    if (control->caption != caption) continue;
    if (!control->enabled) return "the Tools menu's " + std::string(caption) + " is disabled";
    Click(control);
    return std::nullopt;
  }
  return "the Tools menu has no " + std::string(caption);
}

std::optional<std::vector<scenario::MenuItemView>> FakeCommandBars::MenuItems(
    std::string_view name) {
  std::shared_ptr<FakeControlState> menu;
  if (name == "Tools") {
    menu = BuiltInMenu(host::kControlToolsMenu);
  } else if (name == "Window") {
    menu = BuiltInMenu(host::kControlWindowMenu);
  } else if (auto bar = FindBar(name)) {
    menu = bar->body;
  }
  if (!menu) return std::nullopt;
  std::vector<scenario::MenuItemView> items;
  for (const auto& control : menu->controls) {
    items.push_back({control->caption, control->begin_group, control->enabled,
                     !control->menu && control->state == host::kButtonDown});
  }
  return items;
}

}  // namespace vestrano::fake
