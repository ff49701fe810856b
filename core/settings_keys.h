// Where the add-in's settings, and Office's colour scheme and Explorer's extension setting that
// it reads, live in the current user's registry. All of them are REG_DWORD values.
#pragma once

#include <string_view>

namespace vestrano {

// The add-in's own key and its values.
inline constexpr std::string_view kVestranoKey = "SOFTWARE\\Microsoft\\Shared Tools\\Vestrano";
// 0 = tab bar shown, 1 = hidden (the name says "show", the value 1 hides).
inline constexpr std::string_view kTabShowValue = "TabShow";
// 0 = strip above the workbooks, 1 = below.
inline constexpr std::string_view kPositionValue = "Position";
// Tab style 0, 1 or 2.
inline constexpr std::string_view kThemeValue = "Theme";

// Office 2007's colour scheme: 1 blue, 2 silver, 3 black.
inline constexpr std::string_view kOfficeCommonKey = "Software\\Microsoft\\Office\\12.0\\Common";
inline constexpr std::string_view kOfficeThemeValue = "Theme";

// Explorer's choice to hide file extensions, which Excel's window captions follow (1 = hidden).
inline constexpr std::string_view kExplorerAdvancedKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
inline constexpr std::string_view kHideFileExtValue = "HideFileExt";

}  // namespace vestrano
