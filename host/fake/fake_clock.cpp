// The virtual clock. Each timer is rescheduled before its procedure runs, from the time it
// actually fired: a clock that got to a timer late fires it once, not once per missed interval,
// and a procedure that kills its own timer leaves nothing behind.
#include "host/fake/fake_clock.h"

#include <algorithm>
#include <limits>

namespace vestrano::fake {

host::TimerId FakeClock::SetTimer(std::uint32_t interval_ms, host::TimerProc proc) {
  if (!calls_.Enter("Timers.SetTimer") || proc == nullptr) return 0;
  const std::uint32_t interval = std::clamp(interval_ms, kMinimumInterval, kMaximumInterval);
  const host::TimerId id = next_id_++;
  timers_.emplace(id, Timer{interval, proc, now_ + interval});
  queue_.emplace(now_ + interval, id);
  return id;
}

bool FakeClock::KillTimer(host::TimerId id) {
  if (!calls_.Enter("Timers.KillTimer")) return false;
  auto it = timers_.find(id);
  if (it == timers_.end()) return false;
  queue_.erase({it->second.due, id});
  timers_.erase(it);
  return true;
}

std::uint32_t FakeClock::GetCurrentThreadId() {
  if (!calls_.Enter("Clock.GetCurrentThreadId")) return 0;
  return kThreadId;
}

std::uint32_t FakeClock::GetTickCount() {
  if (!calls_.Enter("Clock.GetTickCount")) return 0;
  return tick_base_ + Tick();
}

bool FakeClock::Advance(std::uint64_t ms) {
  const std::uint64_t target = ms > std::numeric_limits<std::uint64_t>::max() - now_
                                   ? std::numeric_limits<std::uint64_t>::max()
                                   : now_ + ms;
  if (depth_ == 0) firings_ = 0;
  const std::size_t cuts_before = cuts_;
  bool complete = depth_ < kMaxNesting;
  if (complete) {
    ++depth_;
    while (!queue_.empty() && queue_.begin()->first <= target) {
      if (firings_ >= kMaxFiringsPerAdvance) {
        complete = false;
        break;
      }
      ++firings_;
      const auto [due, id] = *queue_.begin();
      queue_.erase(queue_.begin());
      Timer& timer = timers_.at(id);
      now_ = std::max(now_, due);
      timer.due = now_ + timer.interval;
      queue_.emplace(timer.due, id);
      // The procedure may kill this timer, so nothing of it is touched after the call.
      const host::TimerProc proc = timer.proc;
      proc(id, Tick());
    }
    --depth_;
  }
  if (!complete) ++cuts_;
  now_ = std::max(now_, target);
  return cuts_ == cuts_before;
}

}  // namespace vestrano::fake
