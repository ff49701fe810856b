// Installs the fakes as the platform for one scenario, and clears everything afterwards so that
// the next scenario starts from a freshly loaded add-in.
#include "sim/sim_host.h"

#include "addin/state_reset.h"
#include "core/shared_state.h"
#include "core/tab_bar.h"
#include "host/platform.h"

namespace vestrano::sim {

SimHost::SimHost() {
  ResetModuleState();
  auto& platform = host::CurrentPlatform();
  platform.registry = &registry;
  platform.controls = &controls;
  platform.windows = &windows;
  platform.timers = &clock;
  platform.clock = &clock;
  platform.hooks = &hooks;
  platform.diagnostics = &diagnostics;
  platform.accessibility = &accessibility;
  platform.processes = &processes;
  platform.dialogs = &dialogs;
  excel->AttachWindows(windows, clock);
  excel->AttachSystem(registry, accessibility);
}

SimHost::~SimHost() {
  // A dialog still open holds Excel; it goes before the add-in, as the end of Excel would take it.
  dialogs.Discard();
  addin.reset();
  ResetModuleState();
  host::CurrentPlatform() = {};
}

Hwnd SimHost::MainWindow() const {
  return excel->MainWindow();
}

Hwnd SimHost::BarWindow() const {
  // The form is a child of Excel's window once loaded, and top-level until then.
  const Hwnd child = windows.Find(MainWindow(), kFormClass, kFormCaption);
  return child ? child : windows.Find(Hwnd{}, kFormClass, kFormCaption);
}

Rect SimHost::RectInMainClient(Hwnd hwnd) const {
  const Rect rect = windows.State(hwnd).window;
  const Rect main_client = windows.State(MainWindow()).client;
  return {rect.left - main_client.left, rect.top - main_client.top, rect.right - main_client.left,
          rect.bottom - main_client.top};
}

fake::FakeTabControl* SimHost::TabStrip() const {
  const auto& form = Shared().oTabForm;
  return form && form->IsLoaded() ? controls.LastTabControl() : nullptr;
}

std::optional<Point> SimHost::ClickPoint(int index) const {
  const auto* strip = TabStrip();
  const Hwnd bar = BarWindow();
  if (!strip || !bar || !windows.Shown(bar) || index >= strip->Count()) return std::nullopt;
  // Half-way down the strip, in the middle of the tab, or just past the last one.
  constexpr int kRowMiddle = 10;
  constexpr int kPastLastTab = 20;
  if (index < 0) return Point{strip->ItemSpan(strip->Count()).first + kPastLastTab, kRowMiddle};
  const auto [left, right] = strip->ItemSpan(index);
  return Point{(left + right) / 2, kRowMiddle};
}

}  // namespace vestrano::sim
