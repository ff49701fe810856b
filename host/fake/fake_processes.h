// Process start for the tests and vestrano-sim: command lines are recorded, never run.
#pragma once

#include <string>
#include <vector>

#include "host/fake/host_calls.h"
#include "host/processes.h"

namespace vestrano::fake {

class FakeProcesses final : public host::IProcesses {
 public:
  explicit FakeProcesses(HostCalls& calls) : calls_(calls) {}
  bool StartProcess(std::string_view command_line) override {
    if (!calls_.Enter("Processes.StartProcess")) return false;
    started_.emplace_back(command_line);
    return true;
  }
  const std::vector<std::string>& Started() const { return started_; }

 private:
  HostCalls& calls_;
  std::vector<std::string> started_;
};

}  // namespace vestrano::fake
