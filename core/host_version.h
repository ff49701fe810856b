// Excel's version as a number: above 11 is Excel 2007 and later, below 12 Excel 2003 and
// earlier. The look of the bar, the strip's colour and width and the menus branch on it.
#pragma once

#include <optional>
#include <string_view>

namespace vestrano {

// Empty when the version cannot be read or does not start with a number.
std::optional<double> ReadHostVersion();
std::optional<double> ParseHostVersion(std::string_view text);

}  // namespace vestrano
