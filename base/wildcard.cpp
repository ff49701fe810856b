// The pattern is compiled into tokens first, so that a malformed pattern is refused before any
// text is looked at, and the match itself never has to re-parse brackets.
#include "base/wildcard.h"

#include <optional>
#include <utility>
#include <vector>

#include "base/utf8.h"

namespace vestrano {
namespace {

struct Token {
  enum Kind { kLiteral, kAnyOne, kDigit, kAnyRun, kClass } kind = kLiteral;
  char32_t literal = 0;
  bool negated = false;
  std::vector<std::pair<char32_t, char32_t>> ranges;  // inclusive

  bool Accepts(char32_t c) const {
    switch (kind) {
      case kLiteral:
        return c == literal;
      case kAnyOne:
        return true;
      case kDigit:
        return c >= U'0' && c <= U'9';
      case kClass: {
        bool in = false;
        for (const auto& [low, high] : ranges) in = in || (c >= low && c <= high);
        return in != negated;
      }
      case kAnyRun:
        return false;
    }
    return false;
  }
};

// Parses "[...]" starting just after the '['; `pos` ends just after the ']'.
// An empty class "[]" matches the empty string and so yields no token.
std::optional<std::optional<Token>> ParseClass(const std::u32string& p, std::size_t& pos) {
  Token token;
  token.kind = Token::kClass;
  if (pos < p.size() && p[pos] == U'!') {
    token.negated = true;
    ++pos;
  }
  const std::size_t first = pos;
  while (pos < p.size() && p[pos] != U']') {
    char32_t low = p[pos++];
    char32_t high = low;
    // A hyphen between two characters makes a range; at either end it stands for itself.
    if (pos + 1 < p.size() && p[pos] == U'-' && p[pos + 1] != U']') {
      high = p[pos + 1];
      pos += 2;
      if (high < low) return std::nullopt;
    }
    token.ranges.emplace_back(low, high);
  }
  if (pos >= p.size()) return std::nullopt;  // unclosed
  ++pos;
  if (pos - 1 == first && !token.negated) return std::optional<Token>{};
  return std::optional<Token>{token};
}

std::optional<std::vector<Token>> Compile(std::string_view pattern) {
  const std::u32string p = DecodeUtf8(pattern);
  std::vector<Token> tokens;
  for (std::size_t pos = 0; pos < p.size();) {
    const char32_t c = p[pos++];
    Token token;
    switch (c) {
      case U'*':
        if (!tokens.empty() && tokens.back().kind == Token::kAnyRun) continue;
        token.kind = Token::kAnyRun;
        break;
      case U'?':
        token.kind = Token::kAnyOne;
        break;
      case U'#':
        token.kind = Token::kDigit;
        break;
      case U'[': {
        auto parsed = ParseClass(p, pos);
        if (!parsed) return std::nullopt;
        if (!*parsed) continue;
        token = **parsed;
        break;
      }
      default:
        token.literal = c;
        break;
    }
    tokens.push_back(std::move(token));
  }
  return tokens;
}

}  // namespace

bool MatchesPattern(std::string_view text, std::string_view pattern) {
  const auto tokens = Compile(pattern);
  if (!tokens) return false;
  const std::u32string t = DecodeUtf8(text);
  // Greedy matching with one backtrack point (the last `*`): linear in practice, and at worst
  // proportional to text length times pattern length; it never recurses.
  std::size_t ti = 0, pi = 0;
  std::optional<std::size_t> star_pi;
  std::size_t star_ti = 0;
  while (ti < t.size()) {
    if (pi < tokens->size() && (*tokens)[pi].kind == Token::kAnyRun) {
      star_pi = pi++;
      star_ti = ti;
    } else if (pi < tokens->size() && (*tokens)[pi].Accepts(t[ti])) {
      ++pi;
      ++ti;
    } else if (star_pi) {
      pi = *star_pi + 1;
      ti = ++star_ti;
    } else {
      return false;
    }
  }
  while (pi < tokens->size() && (*tokens)[pi].kind == Token::kAnyRun) ++pi;
  return pi == tokens->size();
}

std::string LiteralPattern(std::string_view text) {
  std::string pattern;
  pattern.reserve(text.size());
  for (char c : text) {
    if (c == '[' || c == '*' || c == '?' || c == '#') {
      pattern += '[';
      pattern += c;
      pattern += ']';
    } else {
      pattern += c;
    }
  }
  return pattern;
}

}  // namespace vestrano
