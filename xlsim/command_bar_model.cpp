// The command bars. Clicks copy what they walk: a listener may connect, disconnect or delete bars
// while a click is delivered.
#include "xlsim/command_bar_model.h"

#include <algorithm>

#include "xlsim/excel_model.h"

namespace vestrano::xlsim {
namespace {

void Kill(Control& control) {
  control.alive = false;
  for (const auto& child : control.controls) Kill(*child);
}

ControlRef FindIn(const Control& menu, const std::optional<int>& type, const std::optional<int>& id,
                  const std::optional<std::string_view>& tag, bool visible_only) {
  for (const auto& control : menu.controls) {
    if (visible_only && !control->visible) continue;
    const bool match = (!type || control->type == *type) && (!id || control->id == *id) &&
                       (!tag || control->tag == *tag);
    if (match) return control;
    if (auto inner = FindIn(*control, type, id, tag, visible_only)) return inner;
  }
  return nullptr;
}

}  // namespace

BarRef CommandBarModel::AddBuiltInBar(std::string_view name, int position) {
  auto bar = std::make_shared<Bar>();
  bar->name = name;
  bar->position = position;
  bar->built_in = true;
  bar->visible = true;
  bar->body->type = kControlPopup;
  bars_.push_back(bar);
  return bar;
}

ControlRef CommandBarModel::AddBuiltIn(const ControlRef& menu, int id, int type,
                                       std::string_view caption, std::function<void()> command) {
  auto control = std::make_shared<Control>();
  control->id = id;
  control->type = type;
  control->caption = caption;
  control->command = std::move(command);
  control->parent = menu;
  menu->controls.push_back(control);
  return control;
}

BarRef CommandBarModel::FindBar(std::string_view name) const {
  for (const auto& bar : bars_) {
    if (SameName(bar->name, name)) return bar;
  }
  return nullptr;
}

ControlRef CommandBarModel::FindControl(std::optional<int> type, std::optional<int> id,
                                        std::optional<std::string_view> tag,
                                        bool visible_only) const {
  for (const auto& bar : bars_) {
    if (auto control = FindIn(*bar->body, type, id, tag, visible_only)) return control;
  }
  return nullptr;
}

BarRef CommandBarModel::AddBar(std::string_view name, int position, bool temporary) {
  if (name.empty() || FindBar(name)) return nullptr;
  auto bar = std::make_shared<Bar>();
  bar->name = name;
  bar->position = position;
  bar->temporary = temporary;
  bar->body->type = kControlPopup;
  bars_.push_back(bar);
  return bar;
}

void CommandBarModel::DeleteBar(const BarRef& bar) {
  Kill(*bar->body);
  std::erase(bars_, bar);
}

ControlRef CommandBarModel::AddControl(const ControlRef& menu, int type, std::optional<int> id,
                                       std::optional<int> before, bool temporary) {
  auto control = std::make_shared<Control>();
  control->type = type;
  control->temporary = temporary;
  control->parent = menu;
  if (id && *id != kCustomControlId) {
    // A copy of a built-in control does what the original does.
    const ControlRef original = FindControl(std::nullopt, id, std::nullopt, false);
    if (!original) return nullptr;
    control->id = original->id;
    control->type = original->type;
    control->caption = original->caption;
    control->command = original->command;
  }
  auto& controls = menu->controls;
  const auto at = before && *before >= 1 && *before <= static_cast<int>(controls.size())
                      ? controls.begin() + (*before - 1)
                      : controls.end();
  controls.insert(at, control);
  return control;
}

void CommandBarModel::DeleteControl(const ControlRef& control) {
  Kill(*control);
  if (auto parent = control->parent.lock()) std::erase(parent->controls, control);
}

const std::vector<ControlRef>& CommandBarModel::ControlsOf(const ControlRef& menu) {
  if (menu->refresh) menu->refresh(*menu);
  return menu->controls;
}

std::uint64_t CommandBarModel::Listen(const ControlRef& button, Listener listener) {
  const std::uint64_t id = next_listen_id_++;
  listening_.push_back({id, button, std::move(listener)});
  return id;
}

void CommandBarModel::Unlisten(std::uint64_t id) {
  std::erase_if(listening_, [&](const Listening& l) { return l.id == id; });
}

void CommandBarModel::Click(const ControlRef& control) {
  if (!control || !control->alive) return;
  const auto listening = listening_;
  const auto command = control->command;
  bool cancel_default = false;
  for (const Listening& entry : listening) {
    const bool still = std::any_of(listening_.begin(), listening_.end(),
                                   [&](const Listening& l) { return l.id == entry.id; });
    const auto heard = entry.button.lock();
    if (!still || !heard || !heard->alive) continue;
    const bool same = control->tag.empty() ? heard == control : heard->tag == control->tag;
    if (same) entry.listener(control, cancel_default);
  }
  if (!cancel_default && command) command();
}

std::optional<std::vector<scenario::MenuItemView>> CommandBarModel::Describe(
    std::string_view name) const {
  ControlRef menu;
  if (name == "Tools") {
    menu = FindControl(std::nullopt, kToolsMenuId, std::nullopt, false);
  } else if (name == "Window") {
    menu = FindControl(std::nullopt, kWindowMenuId, std::nullopt, false);
  } else if (auto bar = FindBar(name)) {
    menu = bar->body;
  }
  if (!menu) return std::nullopt;
  std::vector<scenario::MenuItemView> items;
  for (const auto& control : ControlsOf(menu)) {
    items.push_back({control->caption, control->begin_group, control->enabled,
                     !control->IsPopup() && control->state == kButtonDown});
  }
  return items;
}

}  // namespace vestrano::xlsim
