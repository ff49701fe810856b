// UTF-8 (the logic's text) to and from UTF-16 (Win32's and COM's text), and the system's ANSI
// code page that the registry's A functions use.
#pragma once

#include <string>
#include <string_view>

namespace vestrano::win32 {

std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);
// Characters that the ANSI code page cannot hold become '?'.
std::string WideToAnsi(std::wstring_view wide);
std::wstring AnsiToWide(std::string_view ansi);

}  // namespace vestrano::win32
