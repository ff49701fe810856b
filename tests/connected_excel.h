// The fixture of the tests that connect the add-in to the in-memory Excel: the fakes installed,
// Excel's windows made, and a few shortcuts to what the tests look at.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "addin/addin.h"
#include "core/settings_keys.h"
#include "core/settings_store.h"
#include "host/registry.h"
#include "scenario/observation_lines.h"
#include "sim/sim_host.h"

namespace vestrano {

struct ConnectedExcel {
  explicit ConnectedExcel(const char* version = "12.0") { host.excel->SetVersion(version); }

  void Connect() {
    host.addin = std::make_unique<Vestranov3>();
    host.addin->AddinInstance_OnConnection(host.excel, kConnectStartup);
  }
  void SetOfficeTheme(std::int32_t theme) {
    SetRegValue(host::kHkeyCurrentUser, kOfficeCommonKey, kOfficeThemeValue, host::kRegDword,
                theme);
  }
  Hwnd Main() const { return host.MainWindow(); }
  Hwnd Desk() const { return host.windows.Find(Main(), "XLDESK"); }
  std::optional<Rgb> StripFill() const {
    auto fill = host.windows.LastFill(Desk());
    return fill ? std::optional<Rgb>(fill->color) : std::nullopt;
  }
  bool BarShown() const { return host.windows.Shown(host.BarWindow()); }
  // The strip is reserved when the workbook area's client area is shorter than its window.
  bool StripReserved() const {
    return host.windows.ClientRectInParent(Desk()) != host.windows.RectInParent(Desk());
  }
  std::string Tabs() const {
    const auto* strip = host.TabStrip();
    if (!BarShown() || !strip) return scenario::TabsLine(nullptr);
    const auto tabs = strip->Views();
    return scenario::TabsLine(&tabs);
  }
  std::size_t Calls(const char* name) const { return host.calls.CountOf(name); }

  sim::SimHost host;
};

}  // namespace vestrano
