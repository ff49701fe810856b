// Fitting a caption into the room its tab has: the whole caption when it fits, otherwise the
// longest beginning that fits with an ellipsis after it. Captions are UTF-16, as Windows draws
// them; a cut never falls inside a surrogate pair or before a combining mark, so no glyph is
// ever drawn in half.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace vestrano::tabctl {

inline constexpr char16_t kEllipsis = u'\u2026';

// `measure` gives the drawn width of a text in pixels.
using MeasureText = std::function<int(std::u16string_view)>;

std::u16string FitCaption(std::u16string_view caption, int room, const MeasureText& measure);

// True when a cut may fall just before text[index].
bool IsCutPoint(std::u16string_view text, std::size_t index);

}  // namespace vestrano::tabctl
