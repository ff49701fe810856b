// The command bars' objects. Each refers to its bar or control weakly: once deleted, it fails.
#include "xlsim/win32/office_objects.h"

#include <map>

#include "xlsim/win32/event_source.h"
#include "xlsim/win32/text.h"

namespace vestrano::xlsim::win32 {
namespace {

constexpr DISPID kDispidApplication = 0x60020000;
constexpr DISPID kDispidCreator = 0x60020001;

// Office's "Invalid procedure call or argument" and its "Method ... failed".
AutomationError InvalidCall() {
  return {static_cast<HRESULT>(0x800A0005), L"Invalid procedure call or argument"};
}

std::optional<int> OptionalInt(const Call& call, UINT index) {
  if (!call.Arg(index)) return std::nullopt;
  return call.Int(index);
}

ControlRef Alive(const std::weak_ptr<Control>& weak) {
  auto control = weak.lock();
  if (!control || !control->alive) throw Disconnected();
  return control;
}

BarRef Alive(const std::weak_ptr<Bar>& weak) {
  auto bar = weak.lock();
  if (!bar || !bar->body->alive) throw Disconnected();
  return bar;
}

// FindControl's arguments (Type, Id, Tag, Visible) from `first` on.
ControlRef FindControlFor(const Call& call, CommandBarModel& bars) {
  const auto type = OptionalInt(call, 0);
  const auto id = OptionalInt(call, 1);
  std::optional<std::string> tag;
  if (call.Arg(2)) tag = Utf8(call.Text(2));
  const bool visible_only = call.Arg(3) && call.Bool(3);
  return bars.FindControl(type, id, tag ? std::optional<std::string_view>(*tag) : std::nullopt,
                          visible_only);
}

class ControlsObject final : public Automation<ControlsObject> {
 public:
  ControlsObject(Link link, const ControlRef& menu) : link(std::move(link)), menu_(menu) {}
  static const std::vector<Member<ControlsObject>> kMembers;
  Link link;

  const std::vector<ControlRef>& Items() const { return CommandBarModel::ControlsOf(Alive(menu_)); }
  void Add(Call& call) {
    Excel& excel = Linked(link);
    const int type = call.Int(0, kControlButton);
    if (type != kControlButton && type != kControlPopup) throw InvalidCall();
    const auto id = OptionalInt(call, 1);
    const auto before = OptionalInt(call, 3);
    const bool temporary = call.Bool(4, false);
    auto control = excel.Bars().AddControl(Alive(menu_), type, id, before, temporary);
    if (!control) throw InvalidCall();
    if (call.Arg(2)) control->parameter = Utf8(call.Text(2));
    call.Return(excel.ControlObject(control).Get());
  }
  void Count(Call& call) { call.Return(static_cast<LONG>(Items().size())); }
  void Item(Call& call) {
    const VARIANT* index = call.Arg(0);
    if (!index) throw TypeMismatch();
    const auto& items = Items();
    VARIANT number;
    VariantInit(&number);
    if (index->vt != VT_BSTR &&
        SUCCEEDED(VariantChangeType(&number, const_cast<VARIANT*>(index), 0, VT_I4))) {
      if (number.lVal < 1 || number.lVal > static_cast<LONG>(items.size())) throw InvalidCall();
      call.Return(
          Linked(link).ControlObject(items[static_cast<std::size_t>(number.lVal - 1)]).Get());
      return;
    }
    const std::string caption = Utf8(call.Text(0));
    for (const auto& control : items) {
      if (SameName(control->caption, caption)) {
        call.Return(Linked(link).ControlObject(control).Get());
        return;
      }
    }
    throw InvalidCall();
  }
  void NewEnum(Call& call) {
    std::vector<ComPtr<IDispatch>> objects;
    for (const auto& control : Items()) objects.push_back(Linked(link).ControlObject(control));
    call.ReturnUnknown(NewEnumerator(std::move(objects)).Get());
  }
  void Application(Call& call) { call.Return(Linked(link).Application()); }

 private:
  std::weak_ptr<Control> menu_;
};

const std::vector<Member<ControlsObject>> ControlsObject::kMembers = {
    {L"Add", 0x60030000, &ControlsObject::Add, L"Type Id Parameter Before Temporary"},
    {L"Count", 0x60030001, &ControlsObject::Count},
    {L"Item", DISPID_VALUE, &ControlsObject::Item, L"Index"},
    {L"_NewEnum", DISPID_NEWENUM, &ControlsObject::NewEnum},
    {L"Application", kDispidApplication, &ControlsObject::Application},
};

// What buttons and popups share.
class ControlMembers {
 public:
  ControlMembers(Link link, const ControlRef& control) : link(std::move(link)), control_(control) {}
  Link link;

  ControlRef Get() const { return Alive(control_); }
  void Text(Call& call, std::string Control::*field) {
    const auto control = Get();
    if (call.Putting()) {
      (*control).*field = Utf8(call.TextValue());
      return;
    }
    call.Return(std::wstring_view(Wide((*control).*field)));
  }
  void Flag(Call& call, bool Control::*field) {
    const auto control = Get();
    if (call.Putting()) {
      (*control).*field = call.BoolValue();
      return;
    }
    call.Return((*control).*field);
  }
  void Caption(Call& call) { Text(call, &Control::caption); }
  void Tag(Call& call) { Text(call, &Control::tag); }
  void Parameter(Call& call) { Text(call, &Control::parameter); }
  void OnAction(Call& call) { Text(call, &Control::on_action); }
  void TooltipText(Call& call) { Text(call, &Control::tooltip); }
  void BeginGroup(Call& call) { Flag(call, &Control::begin_group); }
  void Enabled(Call& call) { Flag(call, &Control::enabled); }
  void Visible(Call& call) { Flag(call, &Control::visible); }
  void Id(Call& call) { call.Return(static_cast<LONG>(Get()->id)); }
  void Type(Call& call) { call.Return(static_cast<LONG>(Get()->type)); }
  void Delete(Call&) { CommandBarModel::DeleteControl(Get()); }
  void Execute(Call&) {
    const auto control = Get();
    if (!control->enabled) throw Refused(L"Method 'Execute' of object '_CommandBarButton' failed");
    Linked(link).Bars().Click(control);
  }
  void Application(Call& call) { call.Return(Linked(link).Application()); }
  void Creator(Call& call) { call.Return(LONG{0x5843454C}); }

 private:
  std::weak_ptr<Control> control_;
};

class ButtonObject final : public Automation<ButtonObject>,
                           public IConnectionPointContainer,
                           public ControlMembers {
 public:
  ButtonObject(Link link, const ControlRef& control) : ControlMembers(std::move(link), control) {
    source_ = ComPtr<EventSource>::Adopt(new EventSource(kDiidCommandBarButtonEvents, this));
    std::weak_ptr<Control> weak = control;
    EventSource* source = source_.Get();
    Link held = this->link;
    source_->on_advise = [this, weak, source, held](DWORD cookie) {
      Excel* excel = held->excel;
      auto button = weak.lock();
      if (!excel || !button) return;
      // The point is kept while the model delivers clicks to it.
      const ComPtr<EventSource> keep(source);
      listening_[cookie] = excel->Bars().Listen(
          button, [keep, cookie, held](const ControlRef& clicked, bool& cancel) {
            if (!held->excel) return;
            const ComPtr<IDispatch> ctrl = held->excel->ControlObject(clicked);
            VARIANT_BOOL cancel_default = cancel ? VARIANT_TRUE : VARIANT_FALSE;
            keep->FireTo(cookie, kDispidButtonClick,
                         {ObjectArgument(ctrl.Get()), ByRefBoolArgument(&cancel_default)});
            cancel = cancel_default != VARIANT_FALSE;
          });
    };
    source_->on_unadvise = [this, held](DWORD cookie) {
      const auto found = listening_.find(cookie);
      if (found == listening_.end()) return;
      if (held->excel) held->excel->Bars().Unlisten(found->second);
      listening_.erase(found);
    };
  }
  ~ButtonObject() override {
    source_->Detach();
    source_->on_advise = nullptr;
    source_->on_unadvise = nullptr;
  }
  static const std::vector<Member<ButtonObject>> kMembers;

  void* Other(REFIID iid) {
    if (iid == IID_IConnectionPointContainer) return static_cast<IConnectionPointContainer*>(this);
    return nullptr;
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override {
    return Automation::QueryInterface(iid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return Automation::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return Automation::Release(); }
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) noexcept override {
    if (out) *out = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid,
                                                IConnectionPoint** out) noexcept override {
    return FindOnePoint(source_.Get(), kDiidCommandBarButtonEvents, iid, out);
  }

  void State(Call& call) {
    const auto control = Get();
    if (call.Putting()) {
      const LONG state = call.IntValue();
      if (state != kButtonUp && state != kButtonDown && state != 2) throw InvalidCall();
      control->state = state;
      return;
    }
    call.Return(static_cast<LONG>(control->state));
  }
  void Style(Call& call) {
    if (call.Putting()) {
      style_ = call.IntValue();
      return;
    }
    Get();
    call.Return(style_);
  }
  void FaceId(Call& call) {
    if (call.Putting()) {
      face_id_ = call.IntValue();
      return;
    }
    Get();
    call.Return(face_id_);
  }

 private:
  ComPtr<EventSource> source_;
  std::map<DWORD, std::uint64_t> listening_;
  LONG style_ = 0;
  LONG face_id_ = 0;
};

const std::vector<Member<ButtonObject>> ButtonObject::kMembers = {
    {L"BeginGroup", 0x60040000, &ButtonObject::BeginGroup},
    {L"Caption", 0x60040003, &ButtonObject::Caption},
    {L"Delete", 0x60040007, &ButtonObject::Delete, L"Temporary"},
    {L"Enabled", 0x6004000A, &ButtonObject::Enabled},
    {L"Execute", 0x6004000C, &ButtonObject::Execute},
    {L"Id", 0x60040013, &ButtonObject::Id},
    {L"OnAction", 0x6004001A, &ButtonObject::OnAction},
    {L"Parameter", 0x6004001D, &ButtonObject::Parameter},
    {L"Tag", 0x60040023, &ButtonObject::Tag},
    {L"TooltipText", 0x60040025, &ButtonObject::TooltipText},
    {L"Type", 0x60040027, &ButtonObject::Type},
    {L"Visible", 0x60040029, &ButtonObject::Visible},
    {L"FaceId", 0x60050003, &ButtonObject::FaceId},
    {L"State", 0x60050008, &ButtonObject::State},
    {L"Style", 0x6005000A, &ButtonObject::Style},
    {L"Application", kDispidApplication, &ButtonObject::Application},
    {L"Creator", kDispidCreator, &ButtonObject::Creator},
};

class PopupObject final : public Automation<PopupObject>, public ControlMembers {
 public:
  PopupObject(Link link, const ControlRef& control) : ControlMembers(std::move(link), control) {}
  static const std::vector<Member<PopupObject>> kMembers;

  void Controls(Call& call) {
    call.Return(ComPtr<IDispatch>::Adopt(new ControlsObject(link, Get())).Get());
  }
};

const std::vector<Member<PopupObject>> PopupObject::kMembers = {
    {L"BeginGroup", 0x60040000, &PopupObject::BeginGroup},
    {L"Caption", 0x60040003, &PopupObject::Caption},
    {L"Delete", 0x60040007, &PopupObject::Delete, L"Temporary"},
    {L"Enabled", 0x6004000A, &PopupObject::Enabled},
    {L"Id", 0x60040013, &PopupObject::Id},
    {L"OnAction", 0x6004001A, &PopupObject::OnAction},
    {L"Parameter", 0x6004001D, &PopupObject::Parameter},
    {L"Tag", 0x60040023, &PopupObject::Tag},
    {L"TooltipText", 0x60040025, &PopupObject::TooltipText},
    {L"Type", 0x60040027, &PopupObject::Type},
    {L"Visible", 0x60040029, &PopupObject::Visible},
    {L"Controls", 0x60050001, &PopupObject::Controls},
    {L"Application", kDispidApplication, &PopupObject::Application},
    {L"Creator", kDispidCreator, &PopupObject::Creator},
};

class BarObject final : public Automation<BarObject> {
 public:
  BarObject(Link link, const BarRef& bar) : link(std::move(link)), bar_(bar) {}
  static const std::vector<Member<BarObject>> kMembers;
  Link link;

  void Controls(Call& call) {
    call.Return(ComPtr<IDispatch>::Adopt(new ControlsObject(link, Alive(bar_)->body)).Get());
  }
  void Delete(Call&) {
    const auto bar = Alive(bar_);
    if (bar->built_in) throw InvalidCall();
    Linked(link).Bars().DeleteBar(bar);
  }
  void Enabled(Call& call) {
    const auto bar = Alive(bar_);
    if (call.Putting()) {
      bar->enabled = call.BoolValue();
      return;
    }
    call.Return(bar->enabled);
  }
  void Visible(Call& call) {
    const auto bar = Alive(bar_);
    if (call.Putting()) {
      bar->visible = call.BoolValue();
      return;
    }
    call.Return(bar->visible);
  }
  void Name(Call& call) {
    const auto bar = Alive(bar_);
    if (call.Putting()) {
      bar->name = Utf8(call.TextValue());
      return;
    }
    call.Return(std::wstring_view(Wide(bar->name)));
  }
  void Position(Call& call) {
    const auto bar = Alive(bar_);
    if (call.Putting()) {
      bar->position = call.IntValue();
      return;
    }
    call.Return(static_cast<LONG>(bar->position));
  }
  void FindControl(Call& call) {
    const auto bar = Alive(bar_);
    // Only this bar's controls, and below its first level only when asked.
    const auto type = OptionalInt(call, 0);
    const auto id = OptionalInt(call, 1);
    std::optional<std::string> tag;
    if (call.Arg(2)) tag = Utf8(call.Text(2));
    const bool visible_only = call.Arg(3) && call.Bool(3);
    const bool recursive = call.Bool(4, false);
    ControlRef found;
    for (const auto& control : CommandBarModel::ControlsOf(bar->body)) {
      std::vector<ControlRef> stack{control};
      while (!stack.empty() && !found) {
        auto next = stack.back();
        stack.pop_back();
        if (visible_only && !next->visible) continue;
        if ((!type || next->type == *type) && (!id || next->id == *id) &&
            (!tag || next->tag == *tag)) {
          found = next;
        } else if (recursive) {
          stack.insert(stack.end(), next->controls.rbegin(), next->controls.rend());
        }
      }
      if (found) break;
    }
    call.Return(found ? Linked(link).ControlObject(found).Get() : nullptr);
  }
  void ShowPopup(Call& call) {
    const auto bar = Alive(bar_);
    if (bar->position != kBarPopup)
      throw Refused(L"Method 'ShowPopup' of object 'CommandBar' failed");
    POINT at{};
    GetCursorPos(&at);
    if (call.Arg(0)) at.x = call.Int(0);
    if (call.Arg(1)) at.y = call.Int(1);
    Linked(link).ShowPopup(bar, at);
  }
  void Application(Call& call) { call.Return(Linked(link).Application()); }

 private:
  std::weak_ptr<Bar> bar_;
};

const std::vector<Member<BarObject>> BarObject::kMembers = {
    {L"Controls", 0x60040003, &BarObject::Controls},
    {L"Delete", 0x60040004, &BarObject::Delete},
    {L"Enabled", 0x60040005, &BarObject::Enabled},
    {L"FindControl", 0x60040007, &BarObject::FindControl, L"Type Id Tag Visible Recursive"},
    {L"Name", 0x6004000E, &BarObject::Name},
    {L"Position", 0x60040013, &BarObject::Position},
    {L"ShowPopup", 0x6004001A, &BarObject::ShowPopup, L"x y"},
    {L"Visible", 0x6004001E, &BarObject::Visible},
    {L"Application", kDispidApplication, &BarObject::Application},
};

class CommandBarsObject final : public Automation<CommandBarsObject> {
 public:
  explicit CommandBarsObject(Link link) : link(std::move(link)) {}
  static const std::vector<Member<CommandBarsObject>> kMembers;
  Link link;

  void Add(Call& call) {
    Excel& excel = Linked(link);
    std::string name;
    if (call.Arg(0)) name = Utf8(call.Text(0));
    const int position = call.Int(1, 0);
    const bool temporary = call.Bool(3, false);
    // Office names an unnamed bar itself.
    if (name.empty()) name = "Custom " + std::to_string(excel.Bars().Bars().size() + 1);
    auto bar = excel.Bars().AddBar(name, position, temporary);
    if (!bar) throw InvalidCall();
    call.Return(excel.BarObject(bar).Get());
  }
  void Count(Call& call) { call.Return(static_cast<LONG>(Linked(link).Bars().Bars().size())); }
  void FindControl(Call& call) {
    Excel& excel = Linked(link);
    auto control = FindControlFor(call, excel.Bars());
    call.Return(control ? excel.ControlObject(control).Get() : nullptr);
  }
  void Item(Call& call) {
    Excel& excel = Linked(link);
    const VARIANT* index = call.Arg(0);
    if (!index) throw TypeMismatch();
    const auto& bars = excel.Bars().Bars();
    VARIANT number;
    VariantInit(&number);
    if (index->vt != VT_BSTR &&
        SUCCEEDED(VariantChangeType(&number, const_cast<VARIANT*>(index), 0, VT_I4))) {
      if (number.lVal < 1 || number.lVal > static_cast<LONG>(bars.size())) throw InvalidCall();
      call.Return(excel.BarObject(bars[static_cast<std::size_t>(number.lVal - 1)]).Get());
      return;
    }
    auto bar = excel.Bars().FindBar(Utf8(call.Text(0)));
    if (!bar) throw InvalidCall();
    call.Return(excel.BarObject(bar).Get());
  }
  void NewEnum(Call& call) {
    Excel& excel = Linked(link);
    std::vector<ComPtr<IDispatch>> objects;
    for (const auto& bar : excel.Bars().Bars()) objects.push_back(excel.BarObject(bar));
    call.ReturnUnknown(NewEnumerator(std::move(objects)).Get());
  }
  void Application(Call& call) { call.Return(Linked(link).Application()); }
};

const std::vector<Member<CommandBarsObject>> CommandBarsObject::kMembers = {
    {L"Add", 0x60030002, &CommandBarsObject::Add, L"Name Position MenuBar Temporary"},
    {L"Count", 0x60030003, &CommandBarsObject::Count},
    {L"FindControl", 0x60030008, &CommandBarsObject::FindControl, L"Type Id Tag Visible"},
    {L"Item", DISPID_VALUE, &CommandBarsObject::Item, L"Index"},
    {L"_NewEnum", DISPID_NEWENUM, &CommandBarsObject::NewEnum},
    {L"Application", kDispidApplication, &CommandBarsObject::Application},
};

}  // namespace

ComPtr<IDispatch> NewCommandBarsObject(const Link& link) {
  return ComPtr<IDispatch>::Adopt(new CommandBarsObject(link));
}

ComPtr<IDispatch> NewBarObject(const Link& link, const BarRef& bar) {
  return ComPtr<IDispatch>::Adopt(new BarObject(link, bar));
}

ComPtr<IDispatch> NewControlObject(const Link& link, const ControlRef& control) {
  if (control->IsPopup()) return ComPtr<IDispatch>::Adopt(new PopupObject(link, control));
  return ComPtr<IDispatch>::Adopt(static_cast<IDispatch*>(new ButtonObject(link, control)));
}

}  // namespace vestrano::xlsim::win32
