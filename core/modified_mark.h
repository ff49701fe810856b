// The unsaved mark " *" that a tab caption carries after the workbook's name. A tab's workbook
// is always its caption without the mark.
#pragma once

#include <string>
#include <string_view>

namespace vestrano {

inline constexpr std::string_view kModifiedMark = " *";

// True when the caption ends in the unsaved mark.
bool HasModifiedMark(std::string_view caption);
// The caption without its unsaved mark (one mark only); any other caption unchanged.
std::string StripModifiedMark(std::string_view caption);

}  // namespace vestrano
