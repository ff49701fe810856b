// Small helpers that the fuzz bodies share: showing arbitrary bytes in a message, and the
// blank rules that the properties are stated in.
#pragma once

#include <string>
#include <string_view>

namespace vestrano::fuzz {

// The bytes in double quotes, printable ASCII as it is and everything else as \xNN, so that a
// broken property's message can be read and pasted into a test.
std::string Shown(std::string_view bytes);

// What the scenario lexer takes for a blank between words.
inline bool IsScriptBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

}  // namespace vestrano::fuzz
