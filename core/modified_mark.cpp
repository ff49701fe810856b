// The unsaved mark, matched as a pattern so that it means exactly what the caption rules say.
#include "core/modified_mark.h"

#include "base/wildcard.h"

namespace vestrano {
namespace {

// Anything, a blank, a literal asterisk at the end.
constexpr std::string_view kModifiedPattern = "* [*]";

}  // namespace

bool HasModifiedMark(std::string_view caption) {
  return MatchesPattern(caption, kModifiedPattern);
}

std::string StripModifiedMark(std::string_view caption) {
  if (!HasModifiedMark(caption)) return std::string(caption);
  return std::string(caption.substr(0, caption.size() - kModifiedMark.size()));
}

}  // namespace vestrano
