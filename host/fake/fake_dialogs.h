// The add-in's dialogs in memory, for the tests and vestrano-sim: each control's checked, enabled
// and picture state, the option groups that a click keeps to one checked button, and the web
// pages the add-in asked the shell to open. ShowModal returns with the dialog still open; the
// test or scenario then acts on it as the user would (Click, CloseBox), and the dialog's logic
// is kept alive until it closes.
//
// The IDialogs and IDialog members are what the add-in calls, each recorded in HostCalls and
// able to fail on request; the other members are what the user or a test does.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/dialogs.h"
#include "host/fake/host_calls.h"

namespace vestrano::fake {

struct FakeDialogState {
  host::DialogKind kind = host::DialogKind::kOptions;
  Hwnd owner;
  // Only the controls the dialog has are keys. Pictures are 0 until one is shown.
  std::map<host::DialogControl, bool> checked;
  std::map<host::DialogControl, bool> enabled;
  std::map<host::DialogControl, int> picture;
};

class FakeDialogs final : public host::IDialogs {
 public:
  explicit FakeDialogs(HostCalls& calls);
  ~FakeDialogs() override;
  FakeDialogs(const FakeDialogs&) = delete;
  FakeDialogs& operator=(const FakeDialogs&) = delete;

  // --- host::IDialogs. One dialog at a time: while one is open, another is refused, as Excel's
  // disabled window would not let the user ask for it. ---
  bool ShowModal(host::DialogKind kind, Hwnd owner,
                 std::shared_ptr<host::IDialogEvents> events) override;
  bool OpenWebPage(std::string_view url) override;

  // --- What the user does to the open dialog. An error text when it cannot be done. ---
  using Outcome = std::optional<std::string>;
  // Clicks a control: an option button becomes the checked one of its group, the check box
  // toggles; then the dialog's logic hears the click. Refused for a disabled or missing control.
  Outcome Click(host::DialogControl control);
  // The close box (or Esc): the dialog closes and its logic hears nothing.
  Outcome CloseBox();
  // Forgets an open dialog without telling anyone, as the end of the process would.
  void Discard();

  // --- Observation. ---
  // The open dialog; null when none is.
  const FakeDialogState* Open() const { return open_ ? &open_->state : nullptr; }
  // The caption of the open dialog; empty when none is.
  std::optional<std::string_view> OpenTitle() const;
  const std::vector<std::string>& OpenedPages() const { return pages_; }

 private:
  class Dialog;
  struct Running {
    FakeDialogState state;
    std::shared_ptr<host::IDialogEvents> events;
    std::unique_ptr<Dialog> dialog;
    bool unloaded = false;
  };

  HostCalls& calls_;
  std::unique_ptr<Running> open_;
  std::vector<std::string> pages_;
};

}  // namespace vestrano::fake
