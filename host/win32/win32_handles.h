// Traits for the Win32 handles the adapters own, with the one move-only owner of base/.
#pragma once

#include "base/unique_handle.h"
#include "host/win32/windows_api.h"

namespace vestrano::win32 {

using vestrano::UniqueHandle;

struct RegKeyTraits {
  using Type = HKEY;
  static HKEY Empty() { return nullptr; }
  static LSTATUS Close(HKEY key) { return key ? RegCloseKey(key) : ERROR_INVALID_HANDLE; }
};
using UniqueHkey = UniqueHandle<RegKeyTraits>;

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

// A kernel object handle whose empty value is null: a process, thread or access token.
struct KernelHandleTraits {
  using Type = HANDLE;
  static HANDLE Empty() { return nullptr; }
  static BOOL Close(HANDLE handle) { return handle ? CloseHandle(handle) : FALSE; }
};
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;

// A file handle from CreateFileW, whose empty value is INVALID_HANDLE_VALUE.
struct FileHandleTraits {
  using Type = HANDLE;
  static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
  static BOOL Close(HANDLE handle) {
    return handle != INVALID_HANDLE_VALUE ? CloseHandle(handle) : FALSE;
  }
};
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;

}  // namespace vestrano::win32
