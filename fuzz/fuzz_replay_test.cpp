// Replays every committed fuzz input, the seeds and the inputs that once broke a property, in
// the ordinary test run: what a fuzzer found stays fixed even where no fuzzing happens.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>

#include "fuzz/fuzz_bodies.h"

namespace vestrano::fuzz {

// Found by argument-dependent lookup, so outside the anonymous namespace.
void PrintTo(const FuzzTarget& target, std::ostream* out) {
  *out << target.name;
}

namespace {

namespace fs = std::filesystem;

class FuzzReplay : public ::testing::TestWithParam<FuzzTarget> {};

std::string ReadAll(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST_P(FuzzReplay, CommittedInputsKeepEveryProperty) {
  const FuzzTarget& target = GetParam();
  std::size_t seeds = 0;
  for (const char* folder : {"corpus", "regressions"}) {
    const fs::path dir = fs::path(VESTRANO_FUZZ_DIR) / folder / target.name;
    if (!fs::is_directory(dir)) continue;
    for (const auto& entry : fs::directory_iterator(dir)) {
      const std::string input = ReadAll(entry.path());
      EXPECT_LE(input.size(), target.max_bytes) << entry.path() << " is cut short when played";
      EXPECT_EQ(target.body(input), "") << entry.path();
      if (std::string_view(folder) == "corpus") ++seeds;
    }
  }
  EXPECT_GT(seeds, 0u) << "no seed inputs for " << target.name;
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay, ::testing::ValuesIn(kFuzzTargets),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vestrano::fuzz
