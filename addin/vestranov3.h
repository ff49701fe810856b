// The add-in class that Excel creates and connects: it keeps Excel, reads the settings and
// creates the tab bar.
#pragma once

#include "host/excel.h"

namespace vestrano {

// Connect modes that Excel passes.
inline constexpr int kConnectAfterStartup = 0;
inline constexpr int kConnectStartup = 1;
inline constexpr int kConnectExternal = 2;

class Vestranov3 {
 public:
  Vestranov3() = default;
  Vestranov3(const Vestranov3&) = delete;
  Vestranov3& operator=(const Vestranov3&) = delete;

  void AddinInstance_OnConnection(const host::ApplicationPtr& application, int connect_mode);

 private:
  // The settings are re-read at every connection; a value missing from the registry keeps what
  // the process last held.
  void ReadSettings();
};

}  // namespace vestrano
