// The one move-only owner for Win32 handles that are not COM objects. A traits type says what
// the empty value is and how the handle is given back (RegCloseKey, UnhookWindowsHookEx, ...).
#pragma once

#include "host/win32/windows_api.h"

#include <utility>

namespace vestrano::win32 {

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

struct RegKeyTraits {
  using Type = HKEY;
  static HKEY Empty() { return nullptr; }
  static LSTATUS Close(HKEY key) { return key ? RegCloseKey(key) : ERROR_INVALID_HANDLE; }
};
using UniqueHkey = UniqueHandle<RegKeyTraits>;

// A kernel object handle (process, thread, event...).
struct KernelHandleTraits {
  using Type = HANDLE;
  static HANDLE Empty() { return nullptr; }
  static BOOL Close(HANDLE handle) { return handle ? CloseHandle(handle) : FALSE; }
};
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;

struct HookTraits {
  using Type = HHOOK;
  static HHOOK Empty() { return nullptr; }
  static BOOL Close(HHOOK hook) { return hook ? UnhookWindowsHookEx(hook) : FALSE; }
};
using UniqueHook = UniqueHandle<HookTraits>;

struct BrushTraits {
  using Type = HBRUSH;
  static HBRUSH Empty() { return nullptr; }
  static BOOL Close(HBRUSH brush) { return brush ? DeleteObject(brush) : FALSE; }
};
using UniqueBrush = UniqueHandle<BrushTraits>;

// A thread timer made with SetTimer(NULL, 0, ...): its id alone identifies it.
struct ThreadTimerTraits {
  using Type = UINT_PTR;
  static UINT_PTR Empty() { return 0; }
  static BOOL Close(UINT_PTR id) { return id ? KillTimer(nullptr, id) : FALSE; }
};
using UniqueThreadTimer = UniqueHandle<ThreadTimerTraits>;

// A window's device context from GetWindowDC or GetDC, which goes back with its window.
struct WindowDcTraits {
  struct Type {
    HWND hwnd = nullptr;
    HDC dc = nullptr;
    friend bool operator==(const Type&, const Type&) = default;
  };
  static Type Empty() { return {}; }
  static int Close(Type dc) { return dc.dc ? ReleaseDC(dc.hwnd, dc.dc) : 0; }
};
using UniqueWindowDc = UniqueHandle<WindowDcTraits>;

struct WindowTraits {
  using Type = HWND;
  static HWND Empty() { return nullptr; }
  static BOOL Close(HWND hwnd) { return hwnd ? DestroyWindow(hwnd) : FALSE; }
};
using UniqueWindow = UniqueHandle<WindowTraits>;

}  // namespace vestrano::win32
