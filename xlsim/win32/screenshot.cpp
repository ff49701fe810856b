// Screenshots through window device contexts: under Wine the screen's own DC does not give back
// what the windows drew, their window surfaces do.
#include "xlsim/win32/screenshot.h"

#include <cstdio>
#include <vector>

namespace vestrano::xlsim::win32 {
namespace {

// Copies `window`, as it shows on the screen, into `target` at its place relative to `origin`.
void Copy(HWND window, HDC target, POINT origin) {
  RECT rect{};
  GetWindowRect(window, &rect);
  const HDC source = GetWindowDC(window);
  if (!source) return;
  BitBlt(target, rect.left - origin.x, rect.top - origin.y, rect.right - rect.left,
         rect.bottom - rect.top, source, 0, 0, SRCCOPY);
  ReleaseDC(window, source);
}

bool WriteBmp(const std::string& path, int width, int height, const std::vector<BYTE>& rows) {
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof(info);
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  info.biSizeImage = static_cast<DWORD>(rows.size());
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + info.biSizeImage;
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  const bool written = std::fwrite(&file, sizeof(file), 1, out) == 1 &&
                       std::fwrite(&info, sizeof(info), 1, out) == 1 &&
                       std::fwrite(rows.data(), 1, rows.size(), out) == rows.size();
  return std::fclose(out) == 0 && written;
}

}  // namespace

bool SaveScreenshot(HWND main, const std::string& path) {
  RECT frame{};
  if (!main || !GetWindowRect(main, &frame)) return false;
  // The windows above Excel's, from the lowest up, as they cover it; the picture holds them all.
  std::vector<HWND> above;
  for (HWND w = GetWindow(main, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    RECT rect{};
    if (pid != GetCurrentProcessId() || !IsWindowVisible(w) || !GetWindowRect(w, &rect)) continue;
    above.push_back(w);
    UnionRect(&frame, &frame, &rect);
  }
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  if (!memory || !bitmap) {
    if (bitmap) DeleteObject(bitmap);
    if (memory) DeleteDC(memory);
    return false;
  }
  const HGDIOBJ old = SelectObject(memory, bitmap);
  const RECT all{0, 0, width, height};
  FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  const POINT origin{frame.left, frame.top};
  Copy(main, memory, origin);
  for (HWND window : above) Copy(window, memory, origin);
  GdiFlush();
  const int stride = (width * 3 + 3) & ~3;
  std::vector<BYTE> rows(
      static_cast<const BYTE*>(bits),
      static_cast<const BYTE*>(bits) + static_cast<std::size_t>(stride) * height);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return WriteBmp(path, width, height, rows);
}

}  // namespace vestrano::xlsim::win32
