// Thread timers and the clock behind host/timers.h. A timer made with SetTimer(NULL, 0, ...) has
// no context, so one generic TIMERPROC looks the portable procedure up by the timer's id.
#pragma once

#include <map>

#include "host/timers.h"
#include "host/win32/win32_handles.h"

namespace vestrano::win32 {

class Win32Timers final : public host::ITimers {
 public:
  Win32Timers();
  // Kills every timer still running, so that none fires into an unloaded module.
  ~Win32Timers() override;
  host::TimerId SetTimer(std::uint32_t interval_ms, host::TimerProc proc) override;
  bool KillTimer(host::TimerId id) override;

 private:
  static void CALLBACK Trampoline(HWND, UINT, UINT_PTR id, DWORD tick) noexcept;

  struct Running {
    UniqueThreadTimer timer;
    host::TimerProc proc;
  };
  std::map<UINT_PTR, Running> running_;
};

class Win32Clock final : public host::IClock {
 public:
  std::uint32_t GetCurrentThreadId() override;
  std::uint32_t GetTickCount() override;
  std::uint32_t GetDoubleClickTime() override;
};

}  // namespace vestrano::win32
