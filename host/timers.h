// Thread timers without a window, the id of the thread they run on, the tick count and the
// double-click time: what the add-in needs of time. The fake runs them on a virtual clock.
#pragma once

#include <cstdint>

namespace vestrano::host {

// A timer procedure: the timer's id is what SetTimer returned.
using TimerProc = void (*)(std::uintptr_t timer_id, std::uint32_t tick);
using TimerId = std::uintptr_t;  // 0 is none

class ITimers {
 public:
  virtual ~ITimers() = default;
  // A repeating timer of the calling thread, without a window; 0 when it could not be made.
  virtual TimerId SetTimer(std::uint32_t interval_ms, TimerProc proc) = 0;
  virtual bool KillTimer(TimerId id) = 0;
};

class IClock {
 public:
  virtual ~IClock() = default;
  virtual std::uint32_t GetCurrentThreadId() = 0;
  // Milliseconds since the system started; wraps every 49.7 days, as GetTickCount does.
  virtual std::uint32_t GetTickCount() = 0;
  // The longest time between the two clicks of a double-click, in milliseconds.
  virtual std::uint32_t GetDoubleClickTime() = 0;
};

}  // namespace vestrano::host
