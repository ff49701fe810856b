// The colours of Office 2007's three colour schemes (1 blue, 2 silver, 3 black) as the add-in
// uses them: the strip's fill, and the tab faces of the tab strip. The bar's load, the strip's
// paint and the options dialog all take them from here.
#pragma once

#include <cstdint>
#include <optional>

#include "host/tab_control.h"
#include "host/types.h"

namespace vestrano {

// The strip's fill: Excel 2003 and earlier always blue; Excel 2007 and later by scheme.
inline constexpr Rgb kStripBlue{104, 140, 175};
inline constexpr Rgb kStripSilver{170, 174, 181};
inline constexpr Rgb kStripBlack{70, 70, 70};

// The tab faces of each scheme.
struct SchemeColors {
  Rgb header_face_dark;
  Rgb header_face_light;
  Rgb button_normal;
};
inline constexpr Rgb kHeaderFaceDark{215, 230, 247};
inline constexpr SchemeColors kBlueTabs{kHeaderFaceDark, {164, 195, 235}, {221, 237, 249}};
inline constexpr SchemeColors kSilverTabs{kHeaderFaceDark, {170, 174, 181}, {240, 247, 247}};
inline constexpr SchemeColors kBlackTabs{kHeaderFaceDark, {160, 160, 160}, {231, 240, 240}};

// 1, 2 and 3 are the schemes; other values name none.
bool IsOfficeScheme(std::int32_t office_theme);
// Sets the scheme's tab faces on the colour set, dark, light, then normal; a value that names no
// scheme sets nothing. False when a colour could not be set.
bool SetOfficeSchemeColors(host::IColorSet& colors, std::int32_t office_theme);
// The strip's colour for a host version and scheme; none where the strip stays unfilled (an
// unreadable version, or Excel 2007 and later without a scheme).
std::optional<Rgb> StripColor(std::optional<double> version, std::int32_t office_theme);

}  // namespace vestrano
