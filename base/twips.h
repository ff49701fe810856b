// Twips and pixels. The form measures itself in pixels and hands its strip a width in twips; the
// strip turns twips back into pixels. Both sides must use the same screen resolution and the same
// rounding, or the strip ends a pixel or more away from the form's edge.
#pragma once

#include <cmath>

namespace vestrano {

inline constexpr int kTwipsPerInch = 1440;

inline double PixelsToTwips(int pixels, int pixels_per_inch) {
  return static_cast<double>(pixels) * kTwipsPerInch / pixels_per_inch;
}

// Rounded to the nearest pixel. A span is converted through its two edges
// (TwipsToPixels(left + width) - TwipsToPixels(left)), so that an edge computed from twips lands
// on the pixel it came from.
inline int TwipsToPixels(double twips, int pixels_per_inch) {
  return static_cast<int>(std::lround(twips * pixels_per_inch / kTwipsPerInch));
}

}  // namespace vestrano
