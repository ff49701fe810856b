// The watches that finish work Excel cannot let the add-in do inside the event that announces
// it: a 50 ms thread timer polls until Excel is done (no dialog of the kind up, Excel ready, no
// cell being edited), then does the deferred work once and stops itself. One watch at a time.
#pragma once

#include <cstdint>

#include "host/timers.h"

namespace vestrano {

inline constexpr std::uint32_t kWatchInterval = 50;

// The end of a close: hides the bar and removes the strip when no workbook is visible any more.
void CloseWatchProc(host::TimerId timer_id, std::uint32_t tick);
// The end of a Save As, or of the first open after connection: rebuilds the tab row.
void SaveAsWatchProc(host::TimerId timer_id, std::uint32_t tick);
// The end of a window switch made while a cell was being edited: rebuilds the tab row.
void EditWatchProc(host::TimerId timer_id, std::uint32_t tick);

// Starts a watch unless one is pending (a request made meanwhile is dropped, not queued).
void StartWatch(host::TimerProc watch);
// Stops the pending watch, if any.
void StopWatch();

}  // namespace vestrano
