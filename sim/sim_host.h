// The in-memory host that a scenario runs against: the fakes, installed as the platform's
// services for as long as the host lives, and the add-in object once connected.
#pragma once

#include <memory>

#include "addin/vestranov3.h"
#include "host/fake/fake_excel.h"
#include "host/fake/fake_registry.h"
#include "host/fake/fake_tab_control.h"
#include "host/fake/host_calls.h"

namespace vestrano::sim {

class SimHost {
 public:
  SimHost();
  ~SimHost();
  SimHost(const SimHost&) = delete;
  SimHost& operator=(const SimHost&) = delete;

  fake::HostCalls calls;
  fake::FakeRegistry registry{calls};
  std::shared_ptr<fake::FakeExcel> excel = std::make_shared<fake::FakeExcel>(calls);
  fake::FakeControlFactory controls{calls};
  std::unique_ptr<Vestranov3> addin;

  // The tab strip of the connected tab bar; null before the form loads.
  fake::FakeTabControl* TabStrip() const;
};

}  // namespace vestrano::sim
