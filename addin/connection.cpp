// Connection and disconnection. Every step runs whatever the previous one did: a host property
// that cannot be read is skipped, and the add-in comes up, or goes down, as far as Excel lets it.
// No exception leaves a handler: Excel calls them.
#include "addin/addin.h"

#include "core/settings_keys.h"
#include "core/settings_store.h"
#include "core/shared_state.h"
#include "host/guarded.h"
#include "host/registry.h"
#include "tabbar/tab_bar_form.h"
#include "winhook/desk_strip.h"
#include "winhook/focus_hook.h"
#include "winhook/watch_timers.h"

namespace vestrano {

Vestranov3::~Vestranov3() {
  if (connected_) AddinInstance_OnDisconnection();
}

void Vestranov3::AddinInstance_OnConnection(const host::ApplicationPtr& application,
                                            int connect_mode) {
  Guarded("OnConnection", [&] {
    if (connect_mode == kConnectExternal) return;
    connected_ = true;
    auto& shared = Shared();
    // No watch is pending as a connection begins. Cleared first, and by stopping the timer: the
    // steps below can start a watch themselves (loading the bar may activate a window, and Excel
    // then raises WindowDeactivate), and clearing the id after that would leave the timer
    // running untracked, past disconnection, where nothing could ever stop it.
    StopWatch();
    shared.oExcelApp = application;
    oAppExcel = application ? application->ConnectEvents(*this) : nullptr;
    shared.oTabForm = std::make_shared<Form_Vestrano>();
    // The form must know its owner before anything loads it.
    if (auto hwnd = application ? application->Hwnd() : std::nullopt) {
      shared.oTabForm->SetExcelHwnd(*hwnd);
      shared.hExcelWnd = *hwnd;
    }
    shared.bRestoreFocus = true;
    shared.bFirstOpen = true;
    ReadSettings();
    // After the settings: the Tools-menu button starts checked when the bar is shown.
    menus_.CreateWorkbookMenus();
    if (shared.bTabShow != 0) {
      shared.oTabForm->Hide();
    } else {
      SubclassDesk();
    }
    InstallCbtHook();
  });
}

void Vestranov3::AddinInstance_OnDisconnection() {
  Guarded("OnDisconnection", [&] {
    connected_ = false;
    auto& shared = Shared();
    if (shared.oTabForm) shared.oTabForm->Unload();
    shared.oTabForm.reset();
    UnsubclassDesk();
    RemoveCbtHook();
    menus_.DeleteWorkbookMenus();
    // No watch may fire once the add-in's objects are gone.
    StopWatch();
    shared.oExcelApp.reset();
    oAppExcel.reset();
  });
}

void Vestranov3::ReadSettings() {
  auto& shared = Shared();
  GetRegValue(host::kHkeyCurrentUser, kOfficeCommonKey, kOfficeThemeValue, shared.nOfficeTheme);
  GetRegValue(host::kHkeyCurrentUser, kVestranoKey, kTabShowValue, shared.bTabShow);
  GetRegValue(host::kHkeyCurrentUser, kVestranoKey, kPositionValue, shared.nTabPosition);
  GetRegValue(host::kHkeyCurrentUser, kVestranoKey, kThemeValue, shared.nTabTheme);
}

}  // namespace vestrano
