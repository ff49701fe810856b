// Fuzzes the scenario lexer, which reads every line of a script that someone typed or
// generated: how a line splits into words, what `expect` compares, and which words are numbers.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_bodies.h"
#include "fuzz/fuzz_support.h"
#include "scenario/script_lexer.h"

namespace vestrano::fuzz {
namespace {

std::vector<std::string> SplitOnBlanks(std::string_view line) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsScriptBlank(line[i])) ++i;
    const std::size_t start = i;
    while (i < line.size() && !IsScriptBlank(line[i])) ++i;
    if (i > start) words.emplace_back(line.substr(start, i - start));
  }
  return words;
}

std::string Quoted(std::string_view word) {
  std::string out = "\"";
  for (const char c : word) {
    if (c == '"' || c == '\\') out.push_back('\\');
    out.push_back(c);
  }
  out.push_back('"');
  return out;
}

std::string CheckNumber(std::string_view word) {
  const std::optional<long long> value = scenario::ParseNumber(word);
  const bool negative = word.starts_with('-');
  std::string_view digits = word.substr(negative ? 1 : 0);
  bool plain = !digits.empty();
  for (const char c : digits) plain = plain && c >= '0' && c <= '9';
  if (!plain) {
    if (value) return "the word " + Shown(word) + " read as the number " + std::to_string(*value);
    return {};
  }
  while (digits.size() > 1 && digits.front() == '0') digits.remove_prefix(1);
  if (!value) {
    // Eighteen digits always fit a long long.
    if (digits.size() <= 18) return "the number " + Shown(word) + " was refused";
    return {};
  }
  const std::string expected = (negative && digits != "0" ? "-" : "") + std::string(digits);
  if (std::to_string(*value) != expected) {
    return "the word " + Shown(word) + " read as " + std::to_string(*value);
  }
  return {};
}

std::string CheckRest(std::string_view line, const scenario::LexedLine& lexed, bool quoted) {
  const std::string rest = scenario::RestAfterFirstWord(line);
  const std::string what = " for the line " + Shown(line);
  if (!rest.empty() && (IsScriptBlank(rest.front()) || IsScriptBlank(rest.back()))) {
    return "the rest after the first word is not trimmed: " + Shown(rest) + what;
  }
  if (line.find(rest) == std::string_view::npos) {
    return "the rest after the first word is not part of the line: " + Shown(rest) + what;
  }
  if (quoted) return {};
  const auto& words = lexed.words;
  if (words.size() < 2 ? !rest.empty()
                       : !rest.starts_with(words[1]) || !rest.ends_with(words.back())) {
    return "the rest after the first word is " + Shown(rest) + what;
  }
  return {};
}

}  // namespace

std::string FuzzScriptLexer(std::string_view input) {
  const std::string_view line = input.substr(0, kScriptLexerMaxBytes);
  const std::string what = " for the line " + Shown(line);
  const scenario::LexedLine lexed = scenario::SplitWords(line);
  const bool quoted = line.find('"') != std::string_view::npos;
  if (!quoted) {
    // Without quotes there is nothing to interpret: blanks separate words, and nothing else.
    if (!lexed.error.empty()) return "an unquoted line was refused: " + lexed.error + what;
    if (lexed.words != SplitOnBlanks(line)) return "an unquoted line split wrongly" + what;
  }
  if (lexed.error.empty()) {
    std::string requoted;
    for (const auto& word : lexed.words) requoted += Quoted(word) + " ";
    const scenario::LexedLine again = scenario::SplitWords(requoted);
    if (!again.error.empty() || again.words != lexed.words) {
      return "the words, quoted again as " + Shown(requoted) + ", split differently" + what;
    }
  }
  if (std::string broken = CheckRest(line, lexed, quoted); !broken.empty()) return broken;
  if (std::string broken = CheckNumber(line); !broken.empty()) return broken;
  for (const auto& word : lexed.words) {
    if (std::string broken = CheckNumber(word); !broken.empty()) return broken;
  }
  return {};
}

}  // namespace vestrano::fuzz
