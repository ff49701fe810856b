// The in-memory host that a scenario runs against: the fakes, installed as the platform's
// services for as long as the host lives, and the add-in object once connected.
#pragma once

#include <memory>
#include <optional>

#include "addin/addin.h"
#include "host/fake/fake_accessibility.h"
#include "host/fake/fake_clock.h"
#include "host/fake/fake_diagnostics.h"
#include "host/fake/fake_dialogs.h"
#include "host/fake/fake_excel.h"
#include "host/fake/fake_hooks.h"
#include "host/fake/fake_processes.h"
#include "host/fake/fake_registry.h"
#include "host/fake/fake_tab_control.h"
#include "host/fake/fake_window_system.h"
#include "host/fake/host_calls.h"

namespace vestrano::sim {

class SimHost {
 public:
  SimHost();
  ~SimHost();
  SimHost(const SimHost&) = delete;
  SimHost& operator=(const SimHost&) = delete;

  // Declared before what refers to them: the clock, hooks and windows outlive Excel and the
  // add-in, which hold references to them.
  fake::HostCalls calls;
  fake::FakeDiagnostics diagnostics;
  fake::FakeRegistry registry{calls};
  fake::FakeClock clock{calls};
  fake::FakeHooks hooks{calls, clock.ThreadId()};
  fake::FakeWindowSystem windows{calls, hooks};
  fake::FakeAccessibility accessibility{calls};
  fake::FakeProcesses processes{calls};
  std::shared_ptr<fake::FakeExcel> excel = std::make_shared<fake::FakeExcel>(calls);
  fake::FakeControlFactory controls{calls};
  fake::FakeDialogs dialogs{calls};
  std::unique_ptr<Vestranov3> addin;

  Hwnd MainWindow() const;
  // The tab bar's window, wherever it is; null when there is none.
  Hwnd BarWindow() const;
  // A window's rectangle in the client coordinates of Excel's main window.
  Rect RectInMainClient(Hwnd hwnd) const;
  // The tab strip of the connected tab bar; null before the form loads.
  fake::FakeTabControl* TabStrip() const;
  // Where a click on tab `index` lands in the strip, or on its empty part for index -1; empty
  // when the bar is not shown or has no such tab.
  std::optional<Point> ClickPoint(int index) const;
};

}  // namespace vestrano::sim
