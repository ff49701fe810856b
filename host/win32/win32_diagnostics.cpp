// OutputDebugStringW with the prefix, the entry point and the failure on one line.
#include "host/win32/win32_diagnostics.h"

#include <string>

#include "host/platform.h"
#include "host/win32/wide_text.h"
#include "host/win32/windows_api.h"

namespace vestrano::win32 {
namespace {

// Constant-initialised, so that installing it from DllMain runs no code.
constinit Win32Diagnostics g_diagnostics;

}  // namespace

void Win32Diagnostics::ReportFailure(std::string_view where, std::string_view what) noexcept {
  try {
    const std::wstring line = L"Vestrano: " + Utf8ToWide(where) + L": " + Utf8ToWide(what) + L"\n";
    OutputDebugStringW(line.c_str());
  } catch (...) {
    // Out of memory for the line itself: the fixed text still says that something failed.
    OutputDebugStringW(L"Vestrano: a failure could not be described\n");
  }
}

void InstallWin32Diagnostics() noexcept {
  host::CurrentPlatform().diagnostics = &g_diagnostics;
}

}  // namespace vestrano::win32
