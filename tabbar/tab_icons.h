// The icon of a workbook's tab: an index into the tab bar's image list of fourteen file-type
// icons, chosen by the workbook name's extension.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vestrano {

inline constexpr std::int32_t kWorkbookIcon = 0;
// A workbook saved under a file name without an extension.
inline constexpr std::int32_t kGenericWindowIcon = 11;

// The extension after the last dot decides, in any letter case; a name without a dot is a
// workbook never saved (Name equals FullName: icon 0) or saved without an extension (icon 11).
// For such a name the caller may pass the full name it already read; otherwise the workbook is
// looked up by name and asked, and one that cannot be asked gets icon 0.
std::int32_t GetTabImageIndex(std::string_view name,
                              std::optional<std::string_view> full_name = std::nullopt);

}  // namespace vestrano
