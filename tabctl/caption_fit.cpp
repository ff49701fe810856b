// Caption fitting by bisection over the cut points: measuring is the costly part (a call into
// the font engine), and a 255-character caption needs about eight measurements this way.
#include "tabctl/caption_fit.h"

#include <vector>

namespace vestrano::tabctl {
namespace {

bool IsLowSurrogate(char16_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

// Marks that belong to the character before them: combining diacritics, variation selectors and
// the zero-width joiner with what it joins.
bool AttachesToPrevious(char16_t c) {
  return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) ||
         (c >= 0x1DC0 && c <= 0x1DFF) || (c >= 0x20D0 && c <= 0x20FF) ||
         (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xFE20 && c <= 0xFE2F) || c == 0x200D;
}

}  // namespace

bool IsCutPoint(std::u16string_view text, std::size_t index) {
  if (index == 0 || index >= text.size()) return true;
  if (IsLowSurrogate(text[index]) || AttachesToPrevious(text[index])) return false;
  return text[index - 1] != 0x200D;
}

std::u16string FitCaption(std::u16string_view caption, int room, const MeasureText& measure) {
  if (caption.empty() || measure(caption) <= room) return std::u16string(caption);
  std::vector<std::size_t> cuts;
  for (std::size_t i = 1; i < caption.size(); ++i) {
    if (IsCutPoint(caption, i)) cuts.push_back(i);
  }
  const auto with_ellipsis = [&](std::size_t length) {
    std::u16string text(caption.substr(0, length));
    // Blanks before the ellipsis would only push it away from the text.
    while (!text.empty() && text.back() == u' ') text.pop_back();
    text.push_back(kEllipsis);
    return text;
  };
  // The longest cut whose text fits: cuts[0, good) fit, cuts[bad, end) do not.
  std::size_t good = 0;
  std::size_t bad = cuts.size();
  while (good < bad) {
    const std::size_t mid = (good + bad) / 2;
    if (measure(with_ellipsis(cuts[mid])) <= room) {
      good = mid + 1;
    } else {
      bad = mid;
    }
  }
  if (good > 0) return with_ellipsis(cuts[good - 1]);
  const std::u16string alone(1, kEllipsis);
  return measure(alone) <= room ? alone : std::u16string();
}

}  // namespace vestrano::tabctl
