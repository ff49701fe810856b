// The one move-only owner for handles that are not COM objects, in the portable logic and in the
// Windows adapters alike. A traits type says what the empty value is and how the handle is given
// back (ReleaseDC, DeleteObject, RegCloseKey, UnhookWindowsHookEx, ...).
#pragma once

#include <utility>

namespace vestrano {

template <typename Traits>
class UniqueHandle {
 public:
  using Type = typename Traits::Type;

  UniqueHandle() = default;
  explicit UniqueHandle(Type handle) : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  ~UniqueHandle() { Reset(); }

  Type Get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::Empty(); }
  // Gives the handle back now and returns what the release call reported.
  auto Close() { return Traits::Close(std::exchange(handle_, Traits::Empty())); }
  void Reset(Type handle = Traits::Empty()) {
    Type old = std::exchange(handle_, handle);
    if (old != Traits::Empty()) Traits::Close(old);
  }
  Type Release() { return std::exchange(handle_, Traits::Empty()); }
  // Releases what is held and gives the address for an out parameter.
  Type* Put() {
    Reset();
    return &handle_;
  }

 private:
  Type handle_ = Traits::Empty();
};

}  // namespace vestrano
