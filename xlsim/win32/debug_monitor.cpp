// The DBWIN protocol: the monitor owns a 4096-byte section "DBWIN_BUFFER" and two events; a
// writer waits for "DBWIN_BUFFER_READY", puts its process id and text in the section and sets
// "DBWIN_DATA_READY".
#include "xlsim/win32/debug_monitor.h"

#include <cstring>
#include <utility>

namespace vestrano::xlsim::win32 {
namespace {

constexpr DWORD kBufferSize = 4096;
constexpr char kFailurePrefix[] = "Vestrano: ";

}  // namespace

DebugMonitor::DebugMonitor() {
  InitializeCriticalSection(&lock_);
  mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBufferSize,
                                L"DBWIN_BUFFER");
  if (mapping_) view_ = MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, kBufferSize);
  buffer_ready_ = CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_BUFFER_READY");
  data_ready_ = CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_DATA_READY");
  stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (view_ && buffer_ready_ && data_ready_ && stop_) {
    thread_ = CreateThread(nullptr, 0, Listen, this, 0, nullptr);
  }
}

DebugMonitor::~DebugMonitor() {
  if (thread_) {
    SetEvent(stop_);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
  }
  if (view_) UnmapViewOfFile(view_);
  for (HANDLE handle : {mapping_, buffer_ready_, data_ready_, stop_}) {
    if (handle) CloseHandle(handle);
  }
  DeleteCriticalSection(&lock_);
}

std::vector<std::string> DebugMonitor::Take() {
  EnterCriticalSection(&lock_);
  auto lines = std::exchange(lines_, {});
  LeaveCriticalSection(&lock_);
  return lines;
}

DWORD WINAPI DebugMonitor::Listen(void* self) {
  auto* monitor = static_cast<DebugMonitor*>(self);
  const DWORD own = GetCurrentProcessId();
  for (;;) {
    SetEvent(monitor->buffer_ready_);
    const HANDLE waits[] = {monitor->data_ready_, monitor->stop_};
    if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) return 0;
    const auto* data = static_cast<const char*>(monitor->view_);
    DWORD pid = 0;
    std::memcpy(&pid, data, sizeof(pid));
    const char* text = data + sizeof(pid);
    const std::string line(text, strnlen(text, kBufferSize - sizeof(pid)));
    if (pid != own || line.rfind(kFailurePrefix, 0) != 0) continue;
    EnterCriticalSection(&monitor->lock_);
    monitor->lines_.push_back(line.substr(0, line.find_last_not_of("\r\n") + 1));
    LeaveCriticalSection(&monitor->lock_);
  }
}

}  // namespace vestrano::xlsim::win32
