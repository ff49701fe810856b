// Installs the fakes as the platform for one scenario, and clears everything afterwards so that
// the next scenario starts from a freshly loaded add-in.
#include "sim/sim_host.h"

#include "host/platform.h"
#include "tabbar/form_vestrano.h"
#include "tabbar/module_pub.h"

namespace vestrano::sim {

SimHost::SimHost() {
  ResetShared();
  auto& platform = host::CurrentPlatform();
  platform.registry = &registry;
  platform.controls = &controls;
}

SimHost::~SimHost() {
  addin.reset();
  ResetShared();
  host::CurrentPlatform() = {};
}

fake::FakeTabControl* SimHost::TabStrip() const {
  const auto& form = Shared().oTabForm;
  return form && form->IsLoaded() ? controls.LastTabControl() : nullptr;
}

}  // namespace vestrano::sim
