// Wildcard matching as Excel's own macro language does it ("Like" with binary comparison):
// `*` any run, `?` one character, `#` one digit, `[...]` / `[!...]` a character class.
// One function, used wherever the add-in matches captions, window titles or accessible names.
#pragma once

#include <string>
#include <string_view>

namespace vestrano {

// True when the whole of `text` matches `pattern`. Both are UTF-8 and compared by code point,
// case-sensitively. A malformed pattern (an unclosed bracket, a reversed range) matches nothing.
bool MatchesPattern(std::string_view text, std::string_view pattern);

// A pattern that matches exactly `text`: its wildcard characters ([, *, ?, #) each in a class of
// its own, so that a name put into a pattern stands for itself.
std::string LiteralPattern(std::string_view text);

}  // namespace vestrano
