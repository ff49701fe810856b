// Text between the scenario's UTF-8 and Windows' UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace vestrano::xlsim::win32 {

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

}  // namespace vestrano::xlsim::win32
