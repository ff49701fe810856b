// The version, read afresh from the connected Excel at each use.
#include "core/host_version.h"

#include <charconv>

#include "core/shared_state.h"

namespace vestrano {

std::optional<double> ParseHostVersion(std::string_view text) {
  // Excel reports "12.0"; the decimal point is always a dot, whatever the user's locale.
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end == text.data()) return std::nullopt;
  return value;
}

std::optional<double> ReadHostVersion() {
  auto& app = Shared().oExcelApp;
  auto text = app ? app->Version() : std::nullopt;
  return text ? ParseHostVersion(*text) : std::nullopt;
}

}  // namespace vestrano
