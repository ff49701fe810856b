// A virtual clock for the tests and vestrano-sim: thread timers that fire only when the test lets
// time pass, and the thread id. Timers fire the way WM_TIMER does: in due-time order, at most once
// per due time however late the clock got to them, and again one interval after they fired.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string_view>
#include <utility>

#include "host/fake/host_calls.h"
#include "host/timers.h"

namespace vestrano::fake {

class FakeClock final : public host::ITimers, public host::IClock {
 public:
  // The thread that the add-in runs on; the fake hooks accept this thread only.
  static constexpr std::uint32_t kThreadId = 0x0F1C;
  // USER_TIMER_MINIMUM and USER_TIMER_MAXIMUM: Windows moves shorter or longer intervals to them.
  static constexpr std::uint32_t kMinimumInterval = 10;
  static constexpr std::uint32_t kMaximumInterval = 0x7FFFFFFF;
  // Bounds on the work one outermost Advance may do, so that a timer procedure that keeps
  // setting timers, or lets time pass from inside itself, cannot run forever.
  static constexpr std::size_t kMaxFiringsPerAdvance = 100000;
  static constexpr int kMaxNesting = 16;

  explicit FakeClock(HostCalls& calls) : calls_(calls) {}
  FakeClock(const FakeClock&) = delete;
  FakeClock& operator=(const FakeClock&) = delete;

  // --- host::ITimers. A null procedure is refused: the add-in's timers have no window to post
  // WM_TIMER to. Ids are never reused, so a stale id cannot kill a newer timer. ---
  host::TimerId SetTimer(std::uint32_t interval_ms, host::TimerProc proc) override;
  bool KillTimer(host::TimerId id) override;

  // --- host::IClock ---
  std::uint32_t GetCurrentThreadId() override;
  // The virtual time plus the tick base, wrapping as Windows' tick count does.
  std::uint32_t GetTickCount() override;
  // Windows' default, 500 ms.
  std::uint32_t GetDoubleClickTime() override {
    return Enter("Clock.GetDoubleClickTime") ? 500 : 0;
  }
  // Where the tick count starts, so that a test can let it wrap.
  void SetTickBase(std::uint32_t base) { tick_base_ = base; }

  // --- What the test or a modal loop does; not recorded. ---
  // Lets `ms` pass, running each timer as it falls due. A procedure may set or kill timers
  // (itself included) and may itself let time pass, as a modal loop inside it would. Returns
  // false when a work bound cut the firing short, here or in a nested Advance; the time has
  // passed all the same.
  bool Advance(std::uint64_t ms);

  // --- Observation. ---
  // Virtual milliseconds since the clock was made.
  std::uint64_t Now() const { return now_; }
  std::size_t PendingTimers() const { return timers_.size(); }
  // True once any Advance has been cut short by a work bound.
  bool Overran() const { return cuts_ > 0; }
  std::uint32_t ThreadId() const { return kThreadId; }

 private:
  struct Timer {
    std::uint32_t interval = 0;
    host::TimerProc proc = nullptr;
    std::uint64_t due = 0;
  };

  // What WM_TIMER carries: the tick count when the timer fired, which wraps as Windows' does.
  std::uint32_t Tick() const { return static_cast<std::uint32_t>(now_); }

  bool Enter(std::string_view call) { return calls_.Enter(call); }

  HostCalls& calls_;
  std::uint32_t tick_base_ = 0;
  std::map<host::TimerId, Timer> timers_;
  // (due, id) of every timer: the first is the next to fire, the lower id first among equals.
  std::set<std::pair<std::uint64_t, host::TimerId>> queue_;
  host::TimerId next_id_ = 0x1000;
  std::uint64_t now_ = 0;
  int depth_ = 0;
  std::size_t firings_ = 0;
  std::size_t cuts_ = 0;
};

}  // namespace vestrano::fake
