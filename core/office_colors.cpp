// The scheme colour tables.
#include "core/office_colors.h"

namespace vestrano {
namespace {

const SchemeColors* TabColorsOf(std::int32_t office_theme) {
  switch (office_theme) {
    case 1:
      return &kBlueTabs;
    case 2:
      return &kSilverTabs;
    case 3:
      return &kBlackTabs;
    default:
      return nullptr;
  }
}

}  // namespace

bool IsOfficeScheme(std::int32_t office_theme) {
  return TabColorsOf(office_theme) != nullptr;
}

bool SetOfficeSchemeColors(host::IColorSet& colors, std::int32_t office_theme) {
  const SchemeColors* scheme = TabColorsOf(office_theme);
  if (!scheme) return true;
  return colors.SetHeaderFaceDark(scheme->header_face_dark) &&
         colors.SetHeaderFaceLight(scheme->header_face_light) &&
         colors.SetButtonNormal(scheme->button_normal);
}

std::optional<Rgb> StripColor(std::optional<double> version, std::int32_t office_theme) {
  if (!version) return std::nullopt;
  if (*version <= 11) return kStripBlue;
  switch (office_theme) {
    case 1:
      return kStripBlue;
    case 2:
      return kStripSilver;
    case 3:
      return kStripBlack;
    default:
      return std::nullopt;
  }
}

}  // namespace vestrano
