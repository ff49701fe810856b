// The ribbon's customUI markup and what the add-in answers Office's ribbon callbacks with. Excel
// 2007 gets a submenu of its Office-button menu; Excel 2010 and later, which have no such menu,
// get the same check box and buttons in a group of their own on the View tab.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vestrano {

// The one image the markup names, and the icon resource that loadImage answers it with.
inline constexpr std::string_view kRibbonImageId = "get101";
inline constexpr int kRibbonIconResource = 102;
inline constexpr int kRibbonIconSize = 32;

// The markup for an Excel version: Office 2007's customUI (2006 namespace) for 12 and 13, and
// when the version is unknown; the 2009/07 namespace from 14 on.
std::string RibbonXmlFor(std::optional<double> version);
// loadImage's test: the exact id, letter case included.
bool IsRibbonImage(std::string_view image_id);

}  // namespace vestrano
