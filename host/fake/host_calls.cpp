// Shared call log and fault plan of the fakes.
#include "host/fake/host_calls.h"

#include <algorithm>

namespace vestrano::fake {

bool HostCalls::Enter(std::string_view call) {
  ++count_;
  if (logging_) log_.emplace_back(call);
  bool fail = false;
  if (auto it = planned_.find(call); it != planned_.end() && it->second != 0) {
    fail = true;
    if (it->second > 0) --it->second;
  }
  if (!fail && probability_ > 0) {
    fail = std::uniform_real_distribution<double>(0.0, 1.0)(random_) < probability_;
  }
  if (fail) ++failures_;
  return !fail;
}

void HostCalls::FailCall(std::string_view call, int times) {
  planned_.insert_or_assign(std::string(call), times);
}

void HostCalls::FailRandomly(std::uint32_t seed, double probability) {
  random_.seed(seed);
  probability_ = probability;
}

void HostCalls::StopFailing() {
  planned_.clear();
  probability_ = 0;
}

void HostCalls::ClearLog() {
  log_.clear();
  count_ = 0;
  failures_ = 0;
}

std::size_t HostCalls::CountOf(std::string_view call) const {
  return static_cast<std::size_t>(std::count(log_.begin(), log_.end(), call));
}

}  // namespace vestrano::fake
