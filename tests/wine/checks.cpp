// Check reporting and small helpers shared by the test's parts.
#include "tests/wine/checks.h"

#include <cstdarg>
#include <cstdio>

#include "host/win32/windows_api.h"

namespace wine_test {

bool Checks::Check(bool ok, std::string_view what, std::string_view detail) {
  if (ok) {
    ++passed_;
    std::printf("pass  %.*s\n", static_cast<int>(what.size()), what.data());
  } else {
    ++failed_;
    std::printf("FAIL  %.*s", static_cast<int>(what.size()), what.data());
    if (!detail.empty()) std::printf(" (%.*s)", static_cast<int>(detail.size()), detail.data());
    std::printf("\n");
  }
  std::fflush(stdout);
  return ok;
}

void Checks::Info(std::string_view text) {
  std::printf("info  %.*s\n", static_cast<int>(text.size()), text.data());
  std::fflush(stdout);
}

int Checks::Finish() {
  std::printf("%d passed, %d failed\n", passed_, failed_);
  std::fflush(stdout);
  return failed_ == 0 ? 0 : 1;
}

std::string Format(const char* format, ...) {
  char buffer[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof(buffer), format, args);
  va_end(args);
  return buffer;
}

std::string Narrow(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, out.data(), length, nullptr, nullptr);
  return out;
}

void PumpMessages(unsigned ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
  }
}

Stopwatch::Stopwatch() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  start_ = now.QuadPart;
}

double Stopwatch::ElapsedMs() const {
  LARGE_INTEGER now;
  LARGE_INTEGER frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart - start_) * 1000.0 /
         static_cast<double>(frequency.QuadPart);
}

bool RunningUnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace wine_test
