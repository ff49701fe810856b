// Thread timers. The trampoline finds the one Win32Timers instance through a static pointer:
// TIMERPROC has no context argument, and the platform holds a single instance.
#include "host/win32/win32_timers.h"

#include "host/diagnostics.h"

namespace vestrano::win32 {
namespace {

Win32Timers* g_timers = nullptr;

}  // namespace

Win32Timers::Win32Timers() {
  g_timers = this;
}

Win32Timers::~Win32Timers() {
  if (g_timers == this) g_timers = nullptr;
}

host::TimerId Win32Timers::SetTimer(std::uint32_t interval_ms, host::TimerProc proc) {
  if (!proc) return 0;
  UniqueThreadTimer timer(::SetTimer(nullptr, 0, interval_ms, Trampoline));
  if (!timer) return 0;
  const UINT_PTR id = timer.Get();
  running_[id] = Running{std::move(timer), proc};
  return id;
}

bool Win32Timers::KillTimer(host::TimerId id) {
  auto found = running_.find(id);
  if (found == running_.end()) return false;
  const bool killed = found->second.timer.Close() != FALSE;
  running_.erase(found);
  return killed;
}

void CALLBACK Win32Timers::Trampoline(HWND, UINT, UINT_PTR id, DWORD tick) noexcept {
  if (!g_timers) return;
  auto found = g_timers->running_.find(id);
  if (found == g_timers->running_.end()) return;
  // Copied out: the procedure may kill its own timer, which erases the entry.
  const host::TimerProc proc = found->second.proc;
  try {
    proc(id, tick);
  } catch (...) {
    host::ReportCaughtException("a timer procedure");
  }
}

std::uint32_t Win32Clock::GetCurrentThreadId() {
  return ::GetCurrentThreadId();
}

std::uint32_t Win32Clock::GetTickCount() {
  return ::GetTickCount();
}

std::uint32_t Win32Clock::GetDoubleClickTime() {
  return ::GetDoubleClickTime();
}

}  // namespace vestrano::win32
