// Scenario line splitting.
#include "scenario/script_lexer.h"

#include <charconv>

namespace vestrano::scenario {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

LexedLine SplitWords(std::string_view line) {
  LexedLine out;
  std::size_t i = 0;
  while (i < line.size()) {
    if (IsBlank(line[i])) {
      ++i;
      continue;
    }
    std::string word;
    if (line[i] == '"') {
      ++i;
      bool closed = false;
      while (i < line.size()) {
        const char c = line[i++];
        if (c == '"') {
          closed = true;
          break;
        }
        if (c == '\\' && i < line.size() && (line[i] == '"' || line[i] == '\\')) {
          word.push_back(line[i++]);
        } else {
          word.push_back(c);
        }
      }
      if (!closed) {
        out.error = "unclosed quote";
        return out;
      }
    } else {
      while (i < line.size() && !IsBlank(line[i])) word.push_back(line[i++]);
    }
    out.words.push_back(std::move(word));
  }
  return out;
}

std::string RestAfterFirstWord(std::string_view line) {
  line = Trim(line);
  std::size_t i = 0;
  while (i < line.size() && !IsBlank(line[i])) ++i;
  return std::string(Trim(line.substr(i)));
}

std::optional<long long> ParseNumber(std::string_view word) {
  long long value = 0;
  const char* begin = word.data();
  const char* end = word.data() + word.size();
  const auto [stop, error] = std::from_chars(begin, end, value);
  if (error != std::errc{} || stop != end || word.empty()) return std::nullopt;
  return value;
}

}  // namespace vestrano::scenario
