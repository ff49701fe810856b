// The libFuzzer entry point of one fuzz target; CMake compiles it once per target, naming the
// body in VESTRANO_FUZZ_BODY. A broken property aborts, which libFuzzer reports as a crash and
// saves the input for.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/fuzz_bodies.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string broken = vestrano::fuzz::VESTRANO_FUZZ_BODY(
      std::string_view(reinterpret_cast<const char*>(data), size));
  if (!broken.empty()) {
    std::fprintf(stderr, "property broken: %s\n", broken.c_str());
    std::abort();
  }
  return 0;
}
