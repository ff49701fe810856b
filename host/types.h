// Small value types that stand in for Windows types in the portable logic, so that no logic
// header needs <windows.h>. Adapters convert at the boundary.
#pragma once

#include <compare>
#include <cstdint>

namespace vestrano {

// A window handle. Only the low 32 bits are significant across 32- and 64-bit processes, but the
// full pointer width is kept so that a 64-bit adapter can round-trip its handles.
struct Hwnd {
  std::uintptr_t value = 0;
  constexpr explicit operator bool() const { return value != 0; }
  friend constexpr auto operator<=>(Hwnd, Hwnd) = default;
};

struct Point {
  int x = 0;
  int y = 0;
  friend constexpr bool operator==(Point, Point) = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  constexpr int Width() const { return right - left; }
  constexpr int Height() const { return bottom - top; }
  friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  // The COLORREF layout (0x00BBGGRR) that Win32 and OLE colour properties use.
  constexpr std::uint32_t ToColorRef() const {
    return red | (static_cast<std::uint32_t>(green) << 8) |
           (static_cast<std::uint32_t>(blue) << 16);
  }
  friend constexpr bool operator==(Rgb, Rgb) = default;
};

}  // namespace vestrano
