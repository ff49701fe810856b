// The test's Excel windows. The workbook area has no border of its own, so that its client
// rectangle equals its window rectangle until the add-in reserves its strip.
#include "tests/wine/excel_windows.h"

#include <map>

namespace wine_test {
namespace {

LRESULT CALLBACK MainProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

std::map<UINT, int>& DeskMessages() {
  static std::map<UINT, int> counts;
  return counts;
}

LRESULT CALLBACK DeskProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  ++DeskMessages()[message];
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

void RegisterWindowClass(const wchar_t* name, WNDPROC proc) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = proc;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
  window_class.lpszClassName = name;
  RegisterClassExW(&window_class);
}

}  // namespace

ExcelWindows::ExcelWindows() {
  RegisterWindowClass(L"XLMAIN", MainProc);
  RegisterWindowClass(L"XLDESK", DeskProc);
  main_ = CreateWindowExW(0, L"XLMAIN", L"Microsoft Excel - Book1",
                          WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 40, 40, 900, 600,
                          nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  RECT client{};
  GetClientRect(main_, &client);
  // Below a band where Excel has its ribbon, above one where it has its status bar.
  desk_ = CreateWindowExW(0, L"XLDESK", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 120,
                          client.right, client.bottom - 150, main_, nullptr,
                          GetModuleHandleW(nullptr), nullptr);
  original_desk_proc_ = CurrentDeskProc();
}

ExcelWindows::~ExcelWindows() {
  if (main_) DestroyWindow(main_);
}

WNDPROC ExcelWindows::CurrentDeskProc() const {
  return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(desk_, GWLP_WNDPROC));
}

RECT ExcelWindows::DeskWindowRect() const {
  RECT rect{};
  GetWindowRect(desk_, &rect);
  return rect;
}

RECT ExcelWindows::DeskClientRect() const {
  RECT rect{};
  GetClientRect(desk_, &rect);
  return rect;
}

int ExcelWindows::DeskProcCalls(UINT message) {
  return DeskMessages()[message];
}

}  // namespace wine_test
