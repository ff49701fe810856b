// Who made the add-in, as its dialogs and its ribbon credit it: our project's name and a web
// address that is a placeholder on a domain reserved for examples.
#pragma once

#include <string_view>

namespace vestrano {

inline constexpr std::string_view kMakerName = "Vestrano 项目";
inline constexpr std::string_view kMakerWebAddress = "https://www.example.com/vestrano";
inline constexpr std::string_view kMakerMail = "vestrano@example.com";

}  // namespace vestrano
