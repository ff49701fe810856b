// Starting a process. Its handles are closed at once: the add-in never waits for it.
#include "host/win32/win32_processes.h"

#include <string>

#include "host/win32/wide_text.h"
#include "host/win32/win32_handles.h"
#include "host/win32/windows_api.h"

namespace vestrano::win32 {

bool Win32Processes::StartProcess(std::string_view command_line) {
  // CreateProcessW may write into the command line it is given.
  std::wstring line = Utf8ToWide(command_line);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return false;
  }
  const UniqueKernelHandle process_handle(process.hProcess);
  const UniqueKernelHandle thread_handle(process.hThread);
  return true;
}

}  // namespace vestrano::win32
