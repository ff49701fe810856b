// Message helpers for the fuzz bodies.
#include "fuzz/fuzz_support.h"

namespace vestrano::fuzz {

std::string Shown(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out = "\"";
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && c != '"' && c != '\\') {
      out.push_back(c);
    } else {
      out += "\\x";
      out.push_back(kDigits[byte >> 4]);
      out.push_back(kDigits[byte & 15]);
    }
  }
  out.push_back('"');
  return out;
}

}  // namespace vestrano::fuzz
