// Splits one scenario line into words: blanks separate words, a double-quoted word may hold
// blanks, and inside quotes \" is a quote and \\ a backslash. Both scenario runners read scripts
// through it (vestrano-sim on Linux, xlsim on Windows), so that a line means the same to both.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vestrano::scenario {

struct LexedLine {
  std::vector<std::string> words;
  std::string error;  // set when the line cannot be split (an unclosed quote)
};

LexedLine SplitWords(std::string_view line);

// The text after the first word, trimmed at both ends (what `expect` compares).
std::string RestAfterFirstWord(std::string_view line);

// A decimal number that fits a 64-bit integer; empty when the word is not one. Callers check
// the range their command allows.
std::optional<long long> ParseNumber(std::string_view word);

}  // namespace vestrano::scenario
