// Fuzzes the reader of module headers and version records, whose files anyone may have put in
// the system directory or the user's folder, and which even an elevated Excel reads. Besides
// staying inside the buffer, a complete answer must not depend on bytes past the end of what it
// read: more bytes after an image whose version was read change nothing.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/module_image.h"
#include "fuzz/fuzz_bodies.h"
#include "fuzz/fuzz_support.h"

namespace vestrano::fuzz {

std::string FuzzModuleImage(std::string_view input) {
  input = input.substr(0, kModuleImageMaxBytes);
  std::vector<std::uint8_t> bytes(input.begin(), input.end());
  const auto facts = ReadModuleFacts(bytes);
  if (!facts || !facts->version) return {};
  bytes.resize(bytes.size() + 64, 0xFF);
  const auto longer = ReadModuleFacts(bytes);
  if (!longer || longer->machine != facts->machine || longer->version != facts->version) {
    return "bytes past a complete image changed what was read from " + Shown(input);
  }
  return {};
}

}  // namespace vestrano::fuzz
