// Process start for the tests and vestrano-sim: command lines are recorded, never run. A process
// that is waited for exits with the code the test sets, or times out when the test says so.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/fake/host_calls.h"
#include "host/processes.h"

namespace vestrano::fake {

class FakeProcesses final : public host::IProcesses {
 public:
  struct Run {
    std::string command_line;
    std::string working_folder;
    std::uint32_t timeout_ms;
  };

  explicit FakeProcesses(HostCalls& calls) : calls_(calls) {}
  bool StartProcess(std::string_view command_line) override {
    if (!calls_.Enter("Processes.StartProcess")) return false;
    started_.emplace_back(command_line);
    return true;
  }
  host::ProcessRun RunToExit(std::string_view command_line, std::string_view working_folder,
                             std::uint32_t timeout_ms) override {
    if (!calls_.Enter("Processes.RunToExit")) return {};
    runs_.push_back({std::string(command_line), std::string(working_folder), timeout_ms});
    return next_run_;
  }

  // How every later waited-for process ends; at first, it exits with 0.
  void SetRunOutcome(host::ProcessRun run) { next_run_ = run; }
  const std::vector<std::string>& Started() const { return started_; }
  const std::vector<Run>& Runs() const { return runs_; }

 private:
  HostCalls& calls_;
  std::vector<std::string> started_;
  std::vector<Run> runs_;
  host::ProcessRun next_run_{host::ProcessRun::Outcome::kExited, 0};
};

}  // namespace vestrano::fake
