// The tab strip's class registration and the process's elevation, as the test sets them up; a
// registration made with regsvr32 in FakeProcesses is the test's to write, if it wants one.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>

#include "host/com_classes.h"
#include "host/fake/host_calls.h"

namespace vestrano::fake {

class FakeComClasses final : public host::IComClasses {
 public:
  explicit FakeComClasses(HostCalls& calls) : calls_(calls) {}

  std::optional<bool> ProcessIsElevated() override {
    if (!calls_.Enter("ComClasses.ProcessIsElevated")) return std::nullopt;
    return elevated_;
  }
  std::optional<std::string> TabStripServer(host::ClassHive hive) override {
    if (!calls_.Enter("ComClasses.TabStripServer")) return std::nullopt;
    const auto it = servers_.find(hive);
    if (it == servers_.end()) return std::nullopt;
    return it->second;
  }

  // Empty: the system cannot say, as on Windows XP. At first, not elevated.
  void SetElevated(std::optional<bool> elevated) { elevated_ = elevated; }
  void Register(host::ClassHive hive, std::string module) { servers_[hive] = std::move(module); }

 private:
  HostCalls& calls_;
  std::optional<bool> elevated_ = false;
  std::map<host::ClassHive, std::string> servers_;
};

}  // namespace vestrano::fake
