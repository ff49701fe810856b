// The test Excel's command bars. DISPIDs are Office's own; arguments left out arrive as
// VT_ERROR DISP_E_PARAMNOTFOUND, as Automation marks them.
#include "tests/wine/fake_command_bars.h"

#include <algorithm>
#include <optional>

#include "tests/wine/checks.h"

namespace wine_test {
namespace {

constexpr GUID kDiidButtonEvents = {
    0x000C0351, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr int kPopup = 5;

bool Given(const std::vector<VARIANT*>& args, std::size_t index) {
  return index < args.size() &&
         !(args[index]->vt == VT_ERROR && args[index]->scode == DISP_E_PARAMNOTFOUND);
}

std::optional<std::wstring> TextOf(const VARIANT* value) {
  VARIANT text;
  VariantInit(&text);
  if (FAILED(VariantChangeType(&text, const_cast<VARIANT*>(value), 0, VT_BSTR))) {
    return std::nullopt;
  }
  std::wstring out(text.bstrVal, SysStringLen(text.bstrVal));
  VariantClear(&text);
  return out;
}

std::optional<LONG> IntOf(const VARIANT* value) {
  VARIANT number;
  VariantInit(&number);
  if (FAILED(VariantChangeType(&number, const_cast<VARIANT*>(value), 0, VT_I4))) {
    return std::nullopt;
  }
  return number.lVal;
}

bool Put(WORD flags) {
  return (flags & DISPATCH_PROPERTYPUT) != 0;
}

// A text property, read or set.
FakeDispatch::Handler TextProperty(std::wstring& field) {
  return [&field](WORD flags, const std::vector<VARIANT*>& args, VARIANT* r) -> HRESULT {
    if (Put(flags)) {
      auto text = args.size() == 1 ? TextOf(args[0]) : std::nullopt;
      if (!text) return DISP_E_TYPEMISMATCH;
      field = *text;
      return S_OK;
    }
    if (r) SetString(r, field.c_str());
    return S_OK;
  };
}

FakeDispatch::Handler BoolProperty(bool& field) {
  return [&field](WORD flags, const std::vector<VARIANT*>& args, VARIANT* r) -> HRESULT {
    if (Put(flags)) {
      auto number = args.size() == 1 ? IntOf(args[0]) : std::nullopt;
      if (!number) return DISP_E_TYPEMISMATCH;
      field = *number != 0;
      return S_OK;
    }
    if (r) SetBool(r, field);
    return S_OK;
  };
}

class FakeControls final : public FakeDispatch {
 public:
  FakeControls(FakeCommandBars* bars, FakeBar* bar, std::vector<ComPtr<FakeButton>>* buttons)
      : FakeDispatch("CommandBarControls"), bars_(bars), bar_(bar), buttons_(buttons) {
    Add(L"Add", 0x60030000, [this](WORD, const std::vector<VARIANT*>& args, VARIANT* r) {
      for (std::size_t i = 0; i < args.size(); ++i) {
        if (Given(args, i)) return E_INVALIDARG;  // the add-in adds plain buttons only
      }
      auto button = ComPtr<FakeButton>::Adopt(new FakeButton(bars_, 1));
      buttons_->push_back(button);
      if (r) SetDispatch(r, button.Get());
      return S_OK;
    });
    AddGetter(L"Count", 0x60030001,
              [this](VARIANT* r) { SetInt(r, static_cast<LONG>(buttons_->size())); });
    auto item = [this](WORD, const std::vector<VARIANT*>& args, VARIANT* r) -> HRESULT {
      if (args.size() != 1) return DISP_E_BADPARAMCOUNT;
      if (args[0]->vt == VT_BSTR) {
        for (const auto& button : *buttons_) {
          if (button->Caption() == std::wstring(args[0]->bstrVal)) {
            if (r) SetDispatch(r, button.Get());
            return S_OK;
          }
        }
        return E_INVALIDARG;
      }
      const auto index = IntOf(args[0]);
      if (!index || *index < 1 || *index > static_cast<LONG>(buttons_->size())) {
        return E_INVALIDARG;
      }
      if (r) SetDispatch(r, (*buttons_)[static_cast<std::size_t>(*index - 1)].Get());
      return S_OK;
    };
    Add(L"Item", DISPID_VALUE, item);
    AddGetter(L"_NewEnum", DISPID_NEWENUM, [this](VARIANT* r) {
      std::vector<ComPtr<IDispatch>> all;
      for (const auto& button : *buttons_)
        all.emplace_back(static_cast<FakeDispatch*>(button.Get()));
      r->vt = VT_UNKNOWN;
      r->punkVal = NewObjectEnum(std::move(all));
    });
  }

 private:
  FakeCommandBars* bars_;
  ComPtr<FakeBar> bar_;  // keeps the buttons alive while the collection is held
  std::vector<ComPtr<FakeButton>>* buttons_;
};

}  // namespace

// The button's connection point. Like the connection points of Office's own objects it is part
// of its button: it counts its references on the button, so that whoever holds it holds the
// button too.
class FakeButton::ConnectionPoint final : public IConnectionPoint {
 public:
  explicit ConnectionPoint(FakeButton* button) : button_(button) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IConnectionPoint) return E_NOINTERFACE;
    *out = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return button_->AddRef(); }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return button_->Release(); }
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) noexcept override {
    if (!iid) return E_POINTER;
    *iid = kDiidButtonEvents;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE
  GetConnectionPointContainer(IConnectionPointContainer** out) noexcept override {
    if (!out) return E_POINTER;
    return button_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(out));
  }
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) noexcept override {
    return button_->Advise(sink, cookie);
  }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) noexcept override {
    return button_->Unadvise(cookie);
  }
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) noexcept override {
    if (out) *out = nullptr;
    return E_NOTIMPL;
  }

 private:
  FakeButton* button_;
};

FakeButton::FakeButton(FakeCommandBars* bars, int id)
    : FakeDispatch("CommandBarControl"), bars_(bars) {
  bars_->Remember(this);
  point_ = std::make_unique<ConnectionPoint>(this);
  Add(L"Caption", 0x60040003, TextProperty(caption_));
  Add(L"Tag", 0x60040023, TextProperty(tag_));
  Add(L"Parameter", 0x6004001D, TextProperty(parameter_));
  Add(L"BeginGroup", 0x60040000, BoolProperty(begin_group_));
  Add(L"Enabled", 0x6004000A, BoolProperty(enabled_));
  AddGetter(L"Id", 0x60040013, [id](VARIANT* r) { SetInt(r, id); });
  Add(L"State", 0x60050008, [this](WORD flags, const std::vector<VARIANT*>& args, VARIANT* r) {
    if (Put(flags)) {
      auto number = args.size() == 1 ? IntOf(args[0]) : std::nullopt;
      if (!number) return DISP_E_TYPEMISMATCH;
      state_ = static_cast<int>(*number);
      return S_OK;
    }
    if (r) SetInt(r, state_);
    return S_OK;
  });
  Add(L"Execute", 0x6004000C, [this](WORD, const std::vector<VARIANT*>&, VARIANT*) {
    ++executions_;
    return S_OK;
  });
  Add(L"Delete", 0x60040007, [this](WORD, const std::vector<VARIANT*>&, VARIANT*) {
    if (bars_) bars_->Forget(this);
    return S_OK;
  });
}

FakeButton::~FakeButton() {
  if (bars_) bars_->Forget(this);
}

void* FakeButton::QueryOther(REFIID iid) {
  if (iid == IID_IConnectionPointContainer) return static_cast<IConnectionPointContainer*>(this);
  return nullptr;
}

HRESULT FakeButton::EnumConnectionPoints(IEnumConnectionPoints** out) noexcept {
  if (out) *out = nullptr;
  return E_NOTIMPL;
}

HRESULT FakeButton::FindConnectionPoint(REFIID iid, IConnectionPoint** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid != kDiidButtonEvents) return CONNECT_E_NOCONNECTION;
  *out = point_.get();
  point_->AddRef();
  return S_OK;
}

HRESULT FakeButton::Advise(IUnknown* sink, DWORD* cookie) {
  if (!sink || !cookie) return E_POINTER;
  ComPtr<IDispatch> events;
  if (FAILED(sink->QueryInterface(kDiidButtonEvents, events.PutVoid()))) {
    return CONNECT_E_CANNOTCONNECT;
  }
  *cookie = next_cookie_++;
  sinks_[*cookie] = std::move(events);
  return S_OK;
}

HRESULT FakeButton::Unadvise(DWORD cookie) {
  return sinks_.erase(cookie) ? S_OK : CONNECT_E_NOCONNECTION;
}

int FakeButton::Raise(IDispatch* control, VARIANT_BOOL* cancel_default) {
  VARIANT args[2];
  VariantInit(&args[0]);
  args[0].vt = VT_BOOL | VT_BYREF;
  args[0].pboolVal = cancel_default;
  args[1] = ObjectArg(control);
  DISPPARAMS params{args, nullptr, 2, 0};
  // A copy: a handler may unadvise while the click is delivered.
  auto sinks = sinks_;
  for (auto& [cookie, sink] : sinks) {
    sink->Invoke(1, IID_NULL, 1033, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
  }
  return static_cast<int>(sinks.size());
}

FakeBar::FakeBar(FakeCommandBars* bars, std::wstring name, int position, bool temporary)
    : FakeDispatch("CommandBar"),
      bars_(bars),
      name_(std::move(name)),
      position_(position),
      temporary_(temporary) {
  AddGetter(L"Name", 0x6004000E, [this](VARIANT* r) { SetString(r, name_.c_str()); });
  AddGetter(L"Controls", 0x60040003, [this](VARIANT* r) {
    auto controls = ComPtr<IDispatch>::Adopt(new FakeControls(bars_, this, &buttons_));
    SetDispatch(r, controls.Get());
  });
  Add(L"Delete", 0x60040004, [this](WORD, const std::vector<VARIANT*>&, VARIANT*) {
    if (bars_) bars_->DeleteBar(this);
    return S_OK;
  });
  Add(L"Enabled", 0x60040005, BoolProperty(enabled_));
  Add(L"Visible", 0x6004001E, BoolProperty(visible_));
  Add(L"ShowPopup", 0x6004001A, [this](WORD, const std::vector<VARIANT*>&, VARIANT*) {
    return position_ == kPopup ? S_OK : E_FAIL;
  });
}

FakeBar::~FakeBar() {
  Drop();
}

void FakeBar::Drop() {
  if (!bars_) return;
  for (const auto& button : buttons_) bars_->Forget(button.Get());
  bars_ = nullptr;
}

FakeCommandBars::FakeCommandBars() : FakeDispatch("CommandBars") {
  for (int id : {3, 106, 748, 2520})
    built_in_[id] = ComPtr<FakeButton>::Adopt(new FakeButton(this, id));
  Add(L"FindControl", 0x60030008, [this](WORD, const std::vector<VARIANT*>& args, VARIANT* r) {
    const auto id = Given(args, 1) ? IntOf(args[1]) : std::nullopt;
    if (!id) return E_INVALIDARG;
    const auto found = built_in_.find(static_cast<int>(*id));
    if (r) SetDispatch(r, found == built_in_.end() ? nullptr : found->second.Get());
    return S_OK;
  });
  Add(L"Item", DISPID_VALUE, [this](WORD, const std::vector<VARIANT*>& args, VARIANT* r) {
    const auto name = args.size() == 1 ? TextOf(args[0]) : std::nullopt;
    if (!name) return DISP_E_TYPEMISMATCH;
    FakeBar* bar = Bar(*name);
    if (!bar) return E_INVALIDARG;
    if (r) SetDispatch(r, bar);
    return S_OK;
  });
  Add(L"Add", 0x60030002, [this](WORD, const std::vector<VARIANT*>& args, VARIANT* r) {
    const auto name = Given(args, 0) ? TextOf(args[0]) : std::nullopt;
    const auto position = Given(args, 1) ? IntOf(args[1]) : std::optional<LONG>(0);
    const auto temporary = Given(args, 3) ? IntOf(args[3]) : std::optional<LONG>(0);
    if (!name || !position || !temporary) return DISP_E_TYPEMISMATCH;
    if (Bar(*name)) return E_INVALIDARG;  // Office refuses a name that a bar has
    auto bar = ComPtr<FakeBar>::Adopt(
        new FakeBar(this, *name, static_cast<int>(*position), *temporary != 0));
    bars_.emplace_back(*name, bar);
    if (r) SetDispatch(r, bar.Get());
    return S_OK;
  });
}

FakeCommandBars::~FakeCommandBars() {
  for (FakeButton* button : buttons_) button->Orphan();
  for (auto& [name, bar] : bars_) bar->Drop();
}

FakeBar* FakeCommandBars::Bar(const std::wstring& name) const {
  for (const auto& [bar_name, bar] : bars_) {
    if (CompareStringOrdinal(bar_name.c_str(), -1, name.c_str(), -1, TRUE) == CSTR_EQUAL) {
      return bar.Get();
    }
  }
  return nullptr;
}

int FakeCommandBars::Executions(int id) const {
  const auto found = built_in_.find(id);
  return found == built_in_.end() ? 0 : found->second->Executions();
}

void FakeCommandBars::Forget(FakeButton* button) {
  std::erase(buttons_, button);
  button->Orphan();
}

void FakeCommandBars::DeleteBar(FakeBar* bar) {
  bar->Drop();
  // Held until the caller's reference goes: the bar may be the one running this.
  auto it = std::find_if(bars_.begin(), bars_.end(),
                         [&](const auto& entry) { return entry.second.Get() == bar; });
  if (it == bars_.end()) return;
  ComPtr<FakeBar> keep = it->second;
  bars_.erase(it);
}

int FakeCommandBars::Click(FakeButton* button, bool* cancel_default) {
  VARIANT_BOOL cancel = VARIANT_FALSE;
  int heard = 0;
  const auto buttons = buttons_;
  for (FakeButton* other : buttons) {
    const bool same = button->Tag().empty() ? other == button : other->Tag() == button->Tag();
    if (same) heard += other->Raise(button, &cancel);
  }
  if (cancel_default) *cancel_default = cancel != VARIANT_FALSE;
  return heard;
}

std::size_t FakeCommandBars::Sinks() const {
  std::size_t sinks = 0;
  for (const FakeButton* button : buttons_) sinks += button->Sinks();
  return sinks;
}

}  // namespace wine_test
