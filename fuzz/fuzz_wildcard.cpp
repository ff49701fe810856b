// Fuzzes the wildcard matcher, whose patterns and texts come from users, workbook names and
// window titles. Besides any pattern against any text, it checks patterns made from the text
// itself, where the answer is known whatever the text is.
#include <cstddef>
#include <string>
#include <string_view>

#include "base/utf8.h"
#include "base/wildcard.h"
#include "fuzz/fuzz_bodies.h"
#include "fuzz/fuzz_support.h"

namespace vestrano::fuzz {
namespace {

bool IsWildcard(char32_t c) {
  return c == U'*' || c == U'?' || c == U'#' || c == U'[';
}

// A pattern that `text` must match: each character is kept (wildcards bracketed, so they stand
// for themselves), or replaced by `?`, by `#` for a digit, or by `*` together with the
// characters after it that chose `*` too. `choices` picks, one byte per character and cycling;
// without choices every character is kept.
std::string Generalize(std::string_view text, std::string_view choices) {
  const std::u32string chars = DecodeUtf8(text);
  std::u32string pattern;
  bool in_run = false;
  for (std::size_t i = 0; i < chars.size(); ++i) {
    const char32_t c = chars[i];
    const unsigned choice =
        choices.empty() ? 0 : static_cast<unsigned char>(choices[i % choices.size()]) % 4;
    if (choice == 3) {
      if (!in_run) pattern.push_back(U'*');
      in_run = true;
      continue;
    }
    in_run = false;
    if (choice == 1) {
      pattern.push_back(U'?');
    } else if (choice == 2 && c >= U'0' && c <= U'9') {
      pattern.push_back(U'#');
    } else if (IsWildcard(c)) {
      pattern += U'[';
      pattern += c;
      pattern += U']';
    } else {
      pattern.push_back(c);
    }
  }
  return EncodeUtf8(pattern);
}

}  // namespace

std::string FuzzWildcard(std::string_view input) {
  input = input.substr(0, kWildcardMaxBytes);
  // Text and pattern are split at the first NUL; without one, the input is both.
  const std::size_t nul = input.find('\0');
  const std::string_view text = input.substr(0, nul);
  const std::string_view pattern = nul == std::string_view::npos ? input : input.substr(nul + 1);
  const std::string shown = " for text " + Shown(text) + " and pattern " + Shown(pattern);

  MatchesPattern(text, pattern);
  MatchesPattern(pattern, text);

  bool plain = true;
  for (const char32_t c : DecodeUtf8(text)) plain = plain && !IsWildcard(c);
  if (plain && !MatchesPattern(text, text)) return "a text without wildcards missed itself" + shown;
  if (!MatchesPattern(text, "*")) return "\"*\" missed a text" + shown;

  const std::string literal = Generalize(text, {});
  if (!MatchesPattern(text, literal)) {
    return "the text missed its bracketed self " + Shown(literal) + shown;
  }
  if (MatchesPattern(std::string(text) + "x", literal)) {
    return "a longer text matched the bracketed text " + Shown(literal) + shown;
  }
  const std::string general = Generalize(text, pattern);
  if (!MatchesPattern(text, general)) {
    return "the text missed a pattern made from it: " + Shown(general) + shown;
  }
  // A final unclosed bracket makes any pattern malformed, and a malformed one matches nothing.
  if (MatchesPattern(text, std::string(pattern) + "[")) {
    return "a pattern ending in an unclosed bracket matched" + shown;
  }
  return {};
}

}  // namespace vestrano::fuzz
