// Text conversions at the Win32 boundary. Invalid input is replaced, never rejected: a name the
// logic cannot spell exactly should still reach Windows as something.
#include "host/win32/wide_text.h"

#include "host/win32/windows_api.h"

namespace vestrano::win32 {
namespace {

std::wstring ToWide(UINT code_page, std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(code_page, 0, text.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::wstring out(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(code_page, 0, text.data(), size, out.data(), length);
  return out;
}

std::string FromWide(UINT code_page, std::wstring_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  // The default character is only allowed for code pages other than UTF-8.
  const char* default_char = code_page == CP_UTF8 ? nullptr : "?";
  const int length =
      WideCharToMultiByte(code_page, 0, text.data(), size, nullptr, 0, default_char, nullptr);
  if (length <= 0) return {};
  std::string out(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(code_page, 0, text.data(), size, out.data(), length, default_char, nullptr);
  return out;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view utf8) {
  return ToWide(CP_UTF8, utf8);
}
std::string WideToUtf8(std::wstring_view wide) {
  return FromWide(CP_UTF8, wide);
}
std::string WideToAnsi(std::wstring_view wide) {
  return FromWide(CP_ACP, wide);
}
std::wstring AnsiToWide(std::string_view ansi) {
  return ToWide(CP_ACP, ansi);
}

}  // namespace vestrano::win32
