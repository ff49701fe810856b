// The command bars through IDispatch. A control answers the members of CommandBarControl, and
// as a button also State, as a menu also Controls; those two are resolved in caches of their
// own, so that a name one kind lacks is never remembered as unknown for the other.
#include "host/win32/win32_command_bars.h"

#include "host/win32/dispatch_call.h"
#include "host/win32/win32_button_events.h"

namespace vestrano::win32 {
namespace {

DispatchNames& BarsNames() {
  static DispatchNames names;
  return names;
}
DispatchNames& BarNames() {
  static DispatchNames names;
  return names;
}
DispatchNames& ControlsNames() {
  static DispatchNames names;
  return names;
}
DispatchNames& ControlNames() {
  static DispatchNames names;
  return names;
}
DispatchNames& ButtonNames() {
  static DispatchNames names;
  return names;
}
DispatchNames& MenuNames() {
  static DispatchNames names;
  return names;
}

host::CommandBarControlsPtr MakeControls(ComPtr<IDispatch> controls);

bool PutText(DispatchObject& object, std::wstring_view name, std::string_view text) {
  return object.PutProperty(name, *UniqueVariant::FromString(text).Get());
}
bool PutBool(DispatchObject& object, std::wstring_view name, bool value) {
  return object.PutProperty(name, *UniqueVariant::FromBool(value).Get());
}

class Win32Control final : public host::ICommandBarControl {
 public:
  explicit Win32Control(ComPtr<IDispatch> control)
      : control_(control, ControlNames()),
        button_(control, ButtonNames()),
        menu_(std::move(control), MenuNames()) {}
  std::optional<std::string> Caption() override { return control_.GetText(L"Caption"); }
  bool SetCaption(std::string_view caption) override {
    return PutText(control_, L"Caption", caption);
  }
  bool SetTag(std::string_view tag) override { return PutText(control_, L"Tag", tag); }
  std::optional<std::string> Parameter() override { return control_.GetText(L"Parameter"); }
  bool SetParameter(std::string_view parameter) override {
    return PutText(control_, L"Parameter", parameter);
  }
  bool SetBeginGroup(bool begin) override { return PutBool(control_, L"BeginGroup", begin); }
  bool SetEnabled(bool enabled) override { return PutBool(control_, L"Enabled", enabled); }
  bool Execute() override { return control_.CallMethod(L"Execute").has_value(); }
  bool Delete() override { return control_.CallMethod(L"Delete").has_value(); }
  std::optional<int> State() override {
    auto state = button_.GetInt(L"State");
    return state ? std::optional<int>(*state) : std::nullopt;
  }
  bool SetState(int state) override {
    return button_.PutProperty(L"State", *UniqueVariant::FromInt(state).Get());
  }
  host::CommandBarControlsPtr Controls() override {
    return MakeControls(menu_.GetDispatch(L"Controls"));
  }
  std::unique_ptr<host::IEventConnection> ConnectClick(host::IButtonClickSink& sink) override {
    return ConnectButtonClick(control_.Get(), sink);
  }

 private:
  DispatchObject control_;
  DispatchObject button_;
  DispatchObject menu_;
};

class Win32Controls final : public host::ICommandBarControls {
 public:
  explicit Win32Controls(ComPtr<IDispatch> controls)
      : object_(std::move(controls), ControlsNames()) {}
  host::CommandBarControlPtr Add() override {
    auto added = object_.CallMethod(L"Add");
    return added ? MakeWin32Control(VariantToDispatch(*added->Get())) : nullptr;
  }
  host::CommandBarControlPtr Item(int index) override {
    auto arg = UniqueVariant::FromInt(index);
    return MakeWin32Control(object_.GetDispatch(L"Item", {arg.Get()}));
  }
  host::CommandBarControlPtr Item(std::string_view caption) override {
    auto arg = UniqueVariant::FromString(caption);
    return MakeWin32Control(object_.GetDispatch(L"Item", {arg.Get()}));
  }
  std::optional<std::vector<host::CommandBarControlPtr>> Enumerate() override {
    auto items = object_.Enumerate();
    if (!items) return std::nullopt;
    std::vector<host::CommandBarControlPtr> controls;
    controls.reserve(items->size());
    for (const auto& item : *items)
      controls.push_back(MakeWin32Control(VariantToDispatch(*item.Get())));
    return controls;
  }

 private:
  DispatchObject object_;
};

class Win32Bar final : public host::ICommandBar {
 public:
  explicit Win32Bar(ComPtr<IDispatch> bar) : object_(std::move(bar), BarNames()) {}
  host::CommandBarControlsPtr Controls() override {
    return MakeControls(object_.GetDispatch(L"Controls"));
  }
  bool Delete() override { return object_.CallMethod(L"Delete").has_value(); }
  bool SetEnabled(bool enabled) override { return PutBool(object_, L"Enabled", enabled); }
  bool SetVisible(bool visible) override { return PutBool(object_, L"Visible", visible); }
  // Without a position Office opens the popup at the mouse pointer.
  bool ShowPopup() override { return object_.CallMethod(L"ShowPopup").has_value(); }

 private:
  DispatchObject object_;
};

host::CommandBarPtr MakeBar(ComPtr<IDispatch> bar) {
  if (!bar) return nullptr;
  return std::make_shared<Win32Bar>(std::move(bar));
}

class Win32Bars final : public host::ICommandBars {
 public:
  explicit Win32Bars(ComPtr<IDispatch> bars) : object_(std::move(bars), BarsNames()) {}
  host::CommandBarControlPtr FindControl(int id) override {
    auto type = UniqueVariant::Missing();
    auto control_id = UniqueVariant::FromInt(id);
    return MakeWin32Control(object_.GetDispatch(L"FindControl", {type.Get(), control_id.Get()}));
  }
  host::CommandBarPtr Item(std::string_view name) override {
    auto arg = UniqueVariant::FromString(name);
    return MakeBar(object_.GetDispatch(L"Item", {arg.Get()}));
  }
  host::CommandBarPtr Add(std::string_view name, int position, bool temporary) override {
    auto bar_name = UniqueVariant::FromString(name);
    auto bar_position = UniqueVariant::FromInt(position);
    auto menu_bar = UniqueVariant::Missing();
    auto bar_temporary = UniqueVariant::FromBool(temporary);
    return MakeBar(object_.GetDispatch(
        L"Add", {bar_name.Get(), bar_position.Get(), menu_bar.Get(), bar_temporary.Get()}));
  }

 private:
  DispatchObject object_;
};

host::CommandBarControlsPtr MakeControls(ComPtr<IDispatch> controls) {
  if (!controls) return nullptr;
  return std::make_shared<Win32Controls>(std::move(controls));
}

}  // namespace

host::CommandBarsPtr MakeWin32CommandBars(ComPtr<IDispatch> bars) {
  if (!bars) return nullptr;
  return std::make_shared<Win32Bars>(std::move(bars));
}

host::CommandBarControlPtr MakeWin32Control(ComPtr<IDispatch> control) {
  if (!control) return nullptr;
  return std::make_shared<Win32Control>(std::move(control));
}

}  // namespace vestrano::win32
