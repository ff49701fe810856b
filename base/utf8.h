// UTF-8 helpers for the logic, which keeps all text as UTF-8 `std::string`. Windows adapters
// convert to and from UTF-16 at the boundary; here only code points are needed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vestrano {

// Splits UTF-8 into code points. A byte that does not start a valid sequence stands for itself,
// so that no input is lost and no read goes past the end.
std::u32string DecodeUtf8(std::string_view text);
std::string EncodeUtf8(std::u32string_view text);

// ASCII upper case; other characters are left as they are.
std::string AsciiUpper(std::string_view text);
// True when the two texts are equal ignoring ASCII letter case.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace vestrano
