// The call log and fault plan that every fake shares: each host call a fake receives is
// recorded by name ("Workbook.Name", "Registry.OpenKey", ...), and can be made to fail on
// request (by name, for a number of times) or at random with a fixed seed, or to throw. Names
// come from a fixed list, so that a test asking for a misspelt one fails instead of passing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace vestrano::fake {

class HostCalls {
 public:
  // Records a call and says whether it may succeed. Every fake method starts with it.
  bool Enter(std::string_view call);

  // Makes the next `times` calls of that name fail; a negative count fails all of them.
  void FailCall(std::string_view call, int times = -1);
  // Makes the next `times` calls of that name throw, as a fault below the add-in's entry points
  // would, so that tests can see what the entry points do with it.
  void ThrowOnCall(std::string_view call, int times = 1);
  // Makes each call fail with the given probability, drawn from a generator seeded with `seed`.
  void FailRandomly(std::uint32_t seed, double probability);
  void StopFailing();

  // Keeping the names costs time in benchmarks; counting alone is always on.
  void SetLogging(bool on) { logging_ = on; }
  void ClearLog();
  const std::vector<std::string>& Log() const { return log_; }
  std::size_t Count() const { return count_; }
  // How often the call was made. A name that no fake records throws std::invalid_argument.
  std::size_t CountOf(std::string_view call) const;
  std::size_t Failures() const { return failures_; }

 private:
  bool logging_ = true;
  std::vector<std::string> log_;
  std::size_t count_ = 0;
  std::size_t failures_ = 0;
  std::map<std::string, int, std::less<>> planned_;
  std::map<std::string, int, std::less<>> throwing_;
  double probability_ = 0;
  std::mt19937 random_;
};

}  // namespace vestrano::fake
