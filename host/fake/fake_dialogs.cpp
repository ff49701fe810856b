// The in-memory dialogs: the controls each kind of dialog has, the option groups, and the
// clicks and the close box of the user.
#include "host/fake/fake_dialogs.h"

#include <algorithm>
#include <array>

namespace vestrano::fake {
namespace {

using host::DialogControl;

constexpr std::array kStyleGroup{DialogControl::Option1, DialogControl::Option2,
                                 DialogControl::Option5};
constexpr std::array kPositionGroup{DialogControl::Option3, DialogControl::Option4};

FakeDialogState NewState(host::DialogKind kind, Hwnd owner) {
  FakeDialogState state{kind, owner, {}, {}, {}};
  if (kind == host::DialogKind::kOptions) {
    for (auto control : {DialogControl::Option1, DialogControl::Option2, DialogControl::Option5,
                         DialogControl::Option3, DialogControl::Option4, DialogControl::Check1}) {
      state.checked[control] = false;
    }
    for (auto control : {DialogControl::Picture1, DialogControl::Picture3}) {
      state.picture[control] = 0;
    }
  }
  for (const auto& [control, checked] : state.checked) state.enabled[control] = true;
  for (const auto& [control, picture] : state.picture) state.enabled[control] = true;
  state.enabled[DialogControl::cmdOK] = true;
  state.enabled[DialogControl::Labelblog] = true;
  return state;
}

template <std::size_t N>
bool InGroup(const std::array<DialogControl, N>& group, DialogControl control) {
  return std::find(group.begin(), group.end(), control) != group.end();
}

}  // namespace

// The open dialog as its logic sees it.
class FakeDialogs::Dialog final : public host::IDialog {
 public:
  Dialog(HostCalls& calls, Running& running) : calls_(calls), running_(running) {}

  std::optional<bool> Checked(DialogControl control) override {
    if (!calls_.Enter("Dialog.Checked")) return std::nullopt;
    const auto it = running_.state.checked.find(control);
    if (it == running_.state.checked.end()) return std::nullopt;
    return it->second;
  }
  bool SetChecked(DialogControl control, bool checked) override {
    if (!calls_.Enter("Dialog.SetChecked")) return false;
    auto& states = running_.state.checked;
    if (!states.contains(control)) return false;
    states[control] = checked;
    return true;
  }
  bool SetEnabled(DialogControl control, bool enabled) override {
    if (!calls_.Enter("Dialog.SetEnabled")) return false;
    if (!running_.state.enabled.contains(control)) return false;
    running_.state.enabled[control] = enabled;
    return true;
  }
  bool SetPicture(DialogControl control, int picture) override {
    if (!calls_.Enter("Dialog.SetPicture")) return false;
    if (!running_.state.picture.contains(control) || picture < host::kPictureAbove ||
        picture > host::kPictureOldExcel) {
      return false;
    }
    running_.state.picture[control] = picture;
    return true;
  }
  bool Unload() override {
    if (!calls_.Enter("Dialog.Unload")) return false;
    running_.unloaded = true;
    return true;
  }

 private:
  HostCalls& calls_;
  Running& running_;
};

FakeDialogs::FakeDialogs(HostCalls& calls) : calls_(calls) {}
FakeDialogs::~FakeDialogs() = default;

bool FakeDialogs::ShowModal(host::DialogKind kind, Hwnd owner,
                            std::shared_ptr<host::IDialogEvents> events) {
  if (!calls_.Enter("Dialogs.ShowModal") || !events || open_) return false;
  auto running = std::make_unique<Running>();
  running->state = NewState(kind, owner);
  running->events = std::move(events);
  running->dialog = std::make_unique<Dialog>(calls_, *running);
  // A Form_Load that unloads, or fails, leaves no dialog open.
  if (!running->events->Form_Load(*running->dialog) || running->unloaded) return false;
  open_ = std::move(running);
  return true;
}

bool FakeDialogs::OpenWebPage(std::string_view url) {
  if (!calls_.Enter("Dialogs.OpenWebPage")) return false;
  pages_.emplace_back(url);
  return true;
}

FakeDialogs::Outcome FakeDialogs::Click(DialogControl control) {
  if (!open_) return "no dialog is open";
  auto& state = open_->state;
  const auto enabled = state.enabled.find(control);
  if (enabled == state.enabled.end()) return "the dialog has no such control";
  if (!enabled->second) return "that option is disabled";
  if (InGroup(kStyleGroup, control) || InGroup(kPositionGroup, control)) {
    for (auto other : InGroup(kStyleGroup, control)
                          ? std::vector(kStyleGroup.begin(), kStyleGroup.end())
                          : std::vector(kPositionGroup.begin(), kPositionGroup.end())) {
      state.checked[other] = other == control;
    }
  } else if (control == DialogControl::Check1) {
    state.checked[control] = !state.checked[control];
  }
  // The logic may unload the dialog from the click: it stays alive until the handler returns.
  const auto events = open_->events;
  events->Click(*open_->dialog, control);
  if (open_ && open_->unloaded) open_.reset();
  return std::nullopt;
}

FakeDialogs::Outcome FakeDialogs::CloseBox() {
  if (!open_) return "no dialog is open";
  open_.reset();
  return std::nullopt;
}

void FakeDialogs::Discard() {
  open_.reset();
}

std::optional<std::string_view> FakeDialogs::OpenTitle() const {
  if (!open_) return std::nullopt;
  return open_->state.kind == host::DialogKind::kOptions ? host::kOptionsTitle : host::kAboutTitle;
}

}  // namespace vestrano::fake
