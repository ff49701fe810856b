// Reading a text that a Windows call writes into the caller's buffer (GetSystemDirectory and its
// kind): such a call returns the text's length when it fits, and the size it needs, terminating
// NUL included, when it does not. The buffer grows until the text fits, so that a long path is
// neither cut nor written past the buffer's end.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace vestrano {

// `fill(buffer, capacity)` writes at most `capacity` characters, NUL included, and returns as
// described above; 0 is a failure. A few rounds cover a text that grows between two calls.
template <typename Char, typename Fill>
std::optional<std::basic_string<Char>> ReadSizedText(Fill fill, std::size_t capacity) {
  constexpr int kRounds = 4;
  for (int round = 0; round < kRounds && capacity > 0; ++round) {
    std::basic_string<Char> buffer(capacity, Char{});
    const std::size_t length = fill(buffer.data(), capacity);
    if (length == 0) return std::nullopt;
    if (length < capacity) {
      buffer.resize(length);
      return buffer;
    }
    // Too small: the call said what it needs. A size that does not grow would loop for nothing.
    capacity = length > capacity ? length : capacity * 2;
  }
  return std::nullopt;
}

}  // namespace vestrano
