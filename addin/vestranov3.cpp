// Connection of the add-in. Every step runs whatever the previous one did: a host property that
// cannot be read is skipped, and the add-in comes up with what it could get.
#include "addin/vestranov3.h"

#include <memory>

#include "addin/module_regvalue.h"
#include "addin/settings_keys.h"
#include "host/registry.h"
#include "tabbar/form_vestrano.h"
#include "tabbar/module_pub.h"

namespace vestrano {

void Vestranov3::AddinInstance_OnConnection(const host::ApplicationPtr& application,
                                            int connect_mode) {
  if (connect_mode == kConnectExternal) return;
  auto& shared = Shared();
  shared.oExcelApp = application;
  shared.oTabForm = std::make_shared<Form_Vestrano>();
  if (application) {
    if (auto hwnd = application->Hwnd()) shared.oTabForm->SetExcelHwnd(*hwnd);
    if (auto hwnd = application->Hwnd()) shared.hExcelWnd = *hwnd;
  }
  ReadSettings();
  if (shared.bTabShow != 0) {
    shared.oTabForm->Hide();
  } else {
    shared.oTabForm->Show();
  }
}

void Vestranov3::ReadSettings() {
  auto& shared = Shared();
  GetRegValue(host::kHkeyCurrentUser, kOfficeCommonKey, kOfficeThemeValue, shared.nOfficeTheme);
  GetRegValue(host::kHkeyCurrentUser, kVestranoKey, kTabShowValue, shared.bTabShow);
  GetRegValue(host::kHkeyCurrentUser, kVestranoKey, kPositionValue, shared.nTabPosition);
  GetRegValue(host::kHkeyCurrentUser, kVestranoKey, kThemeValue, shared.nTabTheme);
}

}  // namespace vestrano
