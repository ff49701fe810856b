// The bodies of the fuzz targets for the parsers of outside input: wildcard patterns, registry
// values, scenario lines, whole scenario scripts and module files. Each body plays one input and
// checks properties that must hold for every input; the libFuzzer entry (clang) and the replay test
// of the committed inputs (any compiler) both call them, so a fuzzer's find stays a plain test.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vestrano::fuzz {

// Each returns the first property the input broke, or an empty text when every one held.
// Inputs longer than a target's limit are cut to it, so that every run stays quick.
std::string FuzzWildcard(std::string_view input);
std::string FuzzSettingsStore(std::string_view input);
std::string FuzzScriptLexer(std::string_view input);
std::string FuzzScenario(std::string_view input);
std::string FuzzModuleImage(std::string_view input);

struct FuzzTarget {
  const char* name;  // also the folder of its inputs: fuzz/corpus/NAME, fuzz/regressions/NAME
  std::string (*body)(std::string_view);
  std::size_t max_bytes;
};

inline constexpr std::size_t kWildcardMaxBytes = 2048;
inline constexpr std::size_t kSettingsStoreMaxBytes = 1024;
inline constexpr std::size_t kScriptLexerMaxBytes = 1024;
inline constexpr std::size_t kScenarioMaxBytes = 1024;
inline constexpr std::size_t kModuleImageMaxBytes = 4096;

inline constexpr FuzzTarget kFuzzTargets[] = {
    {"wildcard", FuzzWildcard, kWildcardMaxBytes},
    {"settings_store", FuzzSettingsStore, kSettingsStoreMaxBytes},
    {"script_lexer", FuzzScriptLexer, kScriptLexerMaxBytes},
    {"scenario", FuzzScenario, kScenarioMaxBytes},
    {"module_image", FuzzModuleImage, kModuleImageMaxBytes},
};

}  // namespace vestrano::fuzz
