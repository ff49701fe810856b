// Starting a process. Explorer's handles are closed at once; regsvr32's process handle is kept
// for a bounded wait that dispatches nothing, so no message of Excel's runs inside it.
#include "host/win32/win32_processes.h"

#include <string>

#include "host/win32/wide_text.h"
#include "host/win32/win32_handles.h"
#include "host/win32/windows_api.h"

namespace vestrano::win32 {
namespace {

// The process's handle, or an empty one when it could not be started. The thread's is closed.
UniqueKernelHandle Start(std::string_view command_line, const wchar_t* working_folder) {
  // CreateProcessW may write into the command line it is given.
  std::wstring line = Utf8ToWide(command_line);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, working_folder,
                      &startup, &process)) {
    return UniqueKernelHandle();
  }
  const UniqueKernelHandle thread_handle(process.hThread);
  return UniqueKernelHandle(process.hProcess);
}

}  // namespace

bool Win32Processes::StartProcess(std::string_view command_line) {
  return static_cast<bool>(Start(command_line, nullptr));
}

host::ProcessRun Win32Processes::RunToExit(std::string_view command_line,
                                           std::string_view working_folder,
                                           std::uint32_t timeout_ms) {
  const std::wstring folder = Utf8ToWide(working_folder);
  const UniqueKernelHandle process = Start(command_line, folder.c_str());
  if (!process) return {host::ProcessRun::Outcome::kNotStarted, 0};
  DWORD exit_code = 0;
  if (WaitForSingleObject(process.Get(), timeout_ms) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(process.Get(), &exit_code)) {
    return {host::ProcessRun::Outcome::kTimedOut, 0};
  }
  return {host::ProcessRun::Outcome::kExited, exit_code};
}

}  // namespace vestrano::win32
