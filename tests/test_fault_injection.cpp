// Every scenario played again while the host fails a few percent of the add-in's calls at random:
// whatever fails, the add-in must not crash, throw or leak (the sanitizers watch), and must end
// connected or disconnected as the script says.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "sim/scenario_runner.h"

namespace vestrano::sim {
namespace {

constexpr double kFailureRate = 0.03;
constexpr std::uint32_t kSeeds[] = {1, 7, 42, 1234, 99991};

TEST(FaultInjection, EveryScenarioSurvivesRandomHostFailures) {
  std::size_t played = 0;
  std::size_t failures = 0;
  for (const auto& entry : std::filesystem::directory_iterator(VESTRANO_SCENARIO_DIR)) {
    if (entry.path().extension() != ".vsc") continue;
    for (std::uint32_t seed : kSeeds) {
      SCOPED_TRACE(entry.path().filename().string() + " seed " + std::to_string(seed));
      std::ifstream script(entry.path());
      std::ostringstream out, err;
      ScenarioRunner runner(out, err, RunOptions{.check_expectations = false});
      runner.Host().calls.FailRandomly(seed, kFailureRate);
      const int status = runner.Run(script);
      EXPECT_NE(status, kRunScriptError) << err.str();
      const auto& addin = runner.Host().addin;
      EXPECT_EQ(addin && addin->IsConnected(), runner.ScriptLeavesConnected());
      failures += runner.Host().calls.Failures();
      ++played;
    }
  }
  EXPECT_GT(played, 0u);
  // The run proves nothing unless calls did fail.
  EXPECT_GT(failures, played);
}

}  // namespace
}  // namespace vestrano::sim
